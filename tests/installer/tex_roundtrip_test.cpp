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
    std::string Command = "cd \"" + Dir.Path() + "\" && \"" + Bin("skinwright-tex") + "\"";
    for (const std::string& Argument : Arguments) Command += " '" + Argument + "'";
    Command += " >\"" + (Dir / "tex.out") + "\" 2>\"" + (Dir / "tex.err") + "\"";
    const int Status = std::system(Command.c_str());
    return Exit{(Status >> 8) & 0xFF, ReadAll(Dir / "tex.out"), ReadAll(Dir / "tex.err")};
  }

  // The pictures of Folder as a stored ZIP archive.
  std::string PackOf(const std::string& Folder) {
    std::vector<std::pair<std::string, std::string>> Entries;
    platform::DirectorySearch Search;
    platform::FindData Item;
    for (int Rc = Search.First(Folder + "/*.bmp", Item); Rc == 0; Rc = Search.Next(Item))
      Entries.emplace_back(Item.Name, ReadAll(Folder + "/" + Item.Name));
    std::sort(Entries.begin(), Entries.end());
    Pictures = Entries.size();
    return skwtest::StoredZip(Entries);
  }

  static size_t Count(const std::string& Text, const std::string& Piece) {
    size_t Occurrences = 0;
    for (size_t At = Text.find(Piece); At != std::string::npos; At = Text.find(Piece, At + 1)) ++Occurrences;
    return Occurrences;
  }

  size_t Pictures = 0;
};

TEST_F(TexRoundTrip, ExportPackCheckInstallDiffRestore) {
  for (const std::string Kind : {"bin", "pal"}) {
    SCOPED_TRACE(Kind);
    const std::string Option = "--" + Kind, PicturesFolder = "pictures-" + Kind, Zip = "roundtrip-" + Kind + ".zip",
                      Copy = "before." + Kind;
    const std::string Before = ReadAll(Container(Kind));
    Exit R = Tex({"export", Option, PicturesFolder});
    ASSERT_EQ(R.Code, 0) << R.Err;
    const std::string Pack = Dir / Zip;
    ASSERT_TRUE(skwtest::WriteAll(Pack, PackOf(Dir / PicturesFolder)));
    EXPECT_EQ(Pictures, 33u);

    R = Tex({"check", Pack});
    EXPECT_EQ(R.Code, 0) << R.Out << R.Err;
    EXPECT_EQ(Count(R.Out, ": replaced"), Pictures) << R.Out;
    EXPECT_EQ(ReadAll(Container(Kind)), Before) << "check writes nothing";

    RunInstaller({Pack, "0"});
    ASSERT_TRUE(skwtest::WriteAll(Dir / Copy, Before));
    R = Tex({"diff", Dir / Copy, Container(Kind)});
    EXPECT_EQ(R.Code, 1);
    // Every texture's smaller levels are made anew; level 0, sizes and palette
    // numbers stay, no palette or record comes or goes.
    EXPECT_EQ(Count(R.Out, ": smaller levels\n"), Pictures) << R.Out;
    EXPECT_EQ(Count(R.Out, "\n"), Pictures + 1) << R.Out;

    R = Tex({"restore", Option});
    EXPECT_EQ(R.Code, 0) << R.Err;
    EXPECT_TRUE(ReadAll(Container(Kind)) == Before);
    EXPECT_TRUE(ReadAll(Container(Kind) + ".original") == Before);
  }
}

}  // namespace
