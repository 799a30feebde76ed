// The pack author's round trip on the demo game, for both containers, with the
// programs as a user runs them (the game found through the demo prefix): export
// every texture, make a pack of the pictures, check it, install it with the
// installer, compare with the original (only the smaller levels, which the
// installer makes anew, may differ), then restore the original the installer
// kept and find the container byte for byte as it was.
#include <algorithm>

// GCC 12 warns falsely about "literal" + string inlined from the harness here.
#pragma GCC diagnostic ignored "-Wrestrict"
#include "tests/installer/InstallerHarness.h"

namespace {

using skwtest::ReadAll;

struct Exit {
  int Code = -1;
  std::string Out;
  std::string Err;
};

class TexRoundTrip : public skwtest::DemoGame {
 protected:
  // Runs skinwright-tex with Arguments from the scratch folder; any exit code.
  Exit Tex(const std::vector<std::string>& Arguments) {
    std::string command = "cd \"" + Dir.Path() + "\" && \"" + Bin("skinwright-tex") + "\"";
    for (const std::string& argument : Arguments) command += " '" + argument + "'";
    command += " >\"" + (Dir / "tex.out") + "\" 2>\"" + (Dir / "tex.err") + "\"";
    const int status = std::system(command.c_str());
    return Exit{(status >> 8) & 0xFF, ReadAll(Dir / "tex.out"), ReadAll(Dir / "tex.err")};
  }

  // The pictures of Folder as a stored ZIP archive.
  std::string PackOf(const std::string& Folder) {
    std::vector<std::pair<std::string, std::string>> entries;
    platform::DirectorySearch search;
    platform::FindData item;
    for (int rc = search.First(Folder + "/*.bmp", item); rc == 0; rc = search.Next(item))
      entries.emplace_back(item.Name, ReadAll(Folder + "/" + item.Name));
    std::sort(entries.begin(), entries.end());
    Pictures = entries.size();
    return skwtest::StoredZip(entries);
  }

  static size_t Count(const std::string& Text, const std::string& Piece) {
    size_t count = 0;
    for (size_t at = Text.find(Piece); at != std::string::npos; at = Text.find(Piece, at + 1)) ++count;
    return count;
  }

  size_t Pictures = 0;
};

TEST_F(TexRoundTrip, ExportPackCheckInstallDiffRestore) {
  for (const std::string kind : {"bin", "pal"}) {
    SCOPED_TRACE(kind);
    const std::string option = "--" + kind, pictures = "pictures-" + kind, zip = "roundtrip-" + kind + ".zip",
                      copy = "before." + kind;
    const std::string before = ReadAll(Container(kind));
    Exit r = Tex({"export", option, pictures});
    ASSERT_EQ(r.Code, 0) << r.Err;
    const std::string pack = Dir / zip;
    ASSERT_TRUE(skwtest::WriteAll(pack, PackOf(Dir / pictures)));
    EXPECT_EQ(Pictures, 33u);

    r = Tex({"check", pack});
    EXPECT_EQ(r.Code, 0) << r.Out << r.Err;
    EXPECT_EQ(Count(r.Out, ": replaced"), Pictures) << r.Out;
    EXPECT_EQ(ReadAll(Container(kind)), before) << "check writes nothing";

    RunInstaller({pack, "0"});
    ASSERT_TRUE(skwtest::WriteAll(Dir / copy, before));
    r = Tex({"diff", Dir / copy, Container(kind)});
    EXPECT_EQ(r.Code, 1);
    // Every texture's smaller levels are made anew; level 0, sizes and palette
    // numbers stay, no palette or record comes or goes.
    EXPECT_EQ(Count(r.Out, ": smaller levels\n"), Pictures) << r.Out;
    EXPECT_EQ(Count(r.Out, "\n"), Pictures + 1) << r.Out;

    r = Tex({"restore", option});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_TRUE(ReadAll(Container(kind)) == before);
    EXPECT_TRUE(ReadAll(Container(kind) + ".original") == before);
  }
}

}  // namespace
