// kst as a user meets it, on archives made at build time by zip and Python's
// zipfile (tests/tools/make_kst_archives.py) and a pack executable made here by
// skinwright-pack: one table of command lines with their exact standard
// output, standard error and exit code. "{}" in a command line stands for the
// scratch folder holding the archives; expected texts leave that folder out,
// are written with "/" and compared in the platform's form. Rows with
// non-ASCII names run on Linux only (Windows shows them in its ANSI code page).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "tests/tools/KstProgram.h"

namespace {

using skwtest::KstProgram;
using skwtest::Result;

struct TRow {
  std::string Args;
  std::vector<std::string> Out;
  std::vector<std::string> Err;
  int Code;
  bool LinuxOnly = false;
};

const std::string kBadCrc = "bad CRC f285a634 (should be 2f137fb1)";
const std::string kBzip2 = "unsupported method 12 (BZip2)";

const std::vector<TRow>& Rows() {
  static const std::vector<TRow> Table = {
      {"list --tsv --dirs {}unix.zip",
       {"src/\t0\t\t0\t0\t00000000\t2021-06-05 04:03:02\td---\t0\t0",
        "src/Ærø 日本.txt\t0\tStored\t8\t8\t7fb6d67f\t2021-06-05 04:03:02\t----\t0\t34",
        "src/dir one/\t0\t\t0\t0\t00000000\t2021-06-05 04:03:02\td---\t0\t92",
        "src/dir one/a file.txt\t0\tStored\t7\t7\t6957506f\t2021-06-05 04:03:02\t----\t0\t134",
        "src/empty/\t0\t\t0\t0\t00000000\t2021-06-05 04:03:02\td---\t0\t193",
        "src/stored.txt\t0\tStored\t7\t7\ta5539ce2\t2021-06-05 04:03:02\t----\t0\t233"},
       {},
       0,
       true},
      {"list --tsv {}unix.zip \"src\\dir*\"",
       {"src/dir one/a file.txt\t0\tStored\t7\t7\t6957506f\t2021-06-05 04:03:02\t----\t0\t134"},
       {},
       0},
      {"list --tsv {}py.zip b?.txt \"[gx]*\"",
       {"good.txt\t8\tDeflateN\t17\t400\t5938f6c9\t2021-06-05 04:03:02\t----\t0\t0",
        "b2.txt\t12\tBZip2\t64\t220\tf683318e\t2021-06-05 04:03:02\t----\t0\t105"},
       {},
       0},
      {"list --tsv {}py.zip upath.txt", {}, {}, 1},
      {"list --tsv {}py.zip -x \"*d*\" \"*r*\" \"e*\"",
       {"b2.txt\t12\tBZip2\t64\t220\tf683318e\t2021-06-05 04:03:02\t----\t0\t105"},
       {},
       0},
      {"list --tsv {}py.zip \"*.txt\" ",
       {"good.txt\t8\tDeflateN\t17\t400\t5938f6c9\t2021-06-05 04:03:02\t----\t0\t0",
        "bad.txt\t0\tStored\t13\t13\t2f137fb1\t2021-06-05 04:03:02\t----\t0\t55",
        "b2.txt\t12\tBZip2\t64\t220\tf683318e\t2021-06-05 04:03:02\t----\t0\t105",
        "Ærø.txt\t0\tStored\t13\t13\t159d1f19\t2021-06-05 04:03:02\t----\t0\t205"},
       {},
       0,
       true},
      {"test {}py.zip -x \"*r*.txt\"",
       {"good.txt: OK", "bad.txt: " + kBadCrc, "b2.txt: " + kBzip2},
       {"kst: " + kBadCrc + ": bad.txt", "kst: " + kBzip2 + ": b2.txt"},
       1},
      {"test {}streamed.zip", {"streamed.txt: OK", "x[1].txt: OK"}, {}, 0},
      {"test {}streamed.zip \"x[1].txt\"", {"x[1].txt: OK"}, {}, 0},
      {"test {}streamed.zip \"x[!1].txt\"", {}, {"kst: Nothing to do: streamed.zip"}, 1},
      {"test {}truncated.zip",
       {"good.txt: OK", "bad.txt: bad CRC 8e4f3d1e (should be 2f137fb1)"},
       {"kst: bad CRC 8e4f3d1e (should be 2f137fb1): bad.txt"},
       1},
      {"extract {}py.zip -d {}out -x \"*r*.txt\"",
       {"  inflating: out/good.txt", " extracting: out/bad.txt", "   creating: out/empty/"},
       {"kst: " + kBadCrc + ": out/bad.txt", "kst: " + kBzip2 + ": out/b2.txt"},
       1},
      {"extract {}py.zip -d {}out -n good.txt", {"1 existing file kept"}, {}, 0},
      {"extract {}py.zip -d {}keep --keep-broken -q bad.txt", {}, {"kst: " + kBadCrc + ": keep/bad.txt"}, 1},
      {"extract {}unix.zip -d {}j -j -q \"src/s*\"", {}, {}, 0},
      {"extract {}unix.zip -d {}u",
       {"   creating: u/src/", " extracting: u/src/Ærø 日本.txt", "   creating: u/src/dir one/",
        " extracting: u/src/dir one/a file.txt", "   creating: u/src/empty/", " extracting: u/src/stored.txt"},
       {},
       0,
       true},
      {"cat {}py.zip missing.txt", {}, {"kst: No entry named missing.txt: py.zip"}, 1},
      {"cat {}py.zip b2.txt", {}, {"kst: " + kBzip2 + ": b2.txt"}, 1},
      {"info {}pack.exe",
       {"Archive:    pack.exe", "DataOffset: 311", "HeadFlag:   0x19", "Type:       ZIP       ", "Container:  bin",
        "Entries:    5", "Comment:    (none)"},
       {},
       0},
      {"test {}pack.exe good.txt", {"good.txt: OK"}, {}, 0},
      // Streamed Zip64 entries (8-byte sizes in their descriptors), no central directory.
      {"list --tsv {}zip64.zip",
       {"big.txt\t8\tDeflateN\t23\t247\tf77b5581\t2021-06-05 04:03:02\t----\t0\t0",
        "raw.txt\t0\tStored\t247\t247\t31e202a0\t2021-06-05 04:03:02\t----\t0\t104"},
       {},
       0},
      {"test {}zip64.zip", {"big.txt: OK", "raw.txt: OK"}, {}, 0},
      // Made on Unix: "\" belongs to the name; names differing in case are two files.
      {"extract {}names.zip -d {}n -o \"x\\y.txt\" \"R*\"",
       {" extracting: n/x\\y.txt", " extracting: n/RuntimeConfig.class", " extracting: n/Runtimeconfig.class"},
       {},
       0,
       true},
  };
  return Table;
}

std::vector<std::string> Native(std::vector<std::string> Lines) {
  for (std::string& Line : Lines) Line = skwtest::Native(Line);
  return Lines;
}

std::string Replaced(std::string Text, const std::string& From, const std::string& To) {
  for (size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At + To.size()))
    Text.replace(At, From.size(), To);
  return Text;
}

// Lines with the scratch folder left out.
std::vector<std::string> Relative(std::vector<std::string> Lines, const std::string& Folder) {
  for (std::string& Line : Lines) Line = Replaced(Line, Folder, "");
  return Lines;
}

class KstTable : public KstProgram {
 protected:
  static char ScratchFolderSeparator() { return platform::kIsWindows ? '\\' : '/'; }
  void SetUp() override {
#ifndef SKW_KST_ARCHIVES
    GTEST_SKIP() << "no zip or Python on the build machine to make the archives";
#else
    for (const char* Name : {"unix.zip", "py.zip", "streamed.zip", "truncated.zip", "names.zip", "zip64.zip"}) {
      ASSERT_TRUE(
          skwtest::WriteFileBytes(Dir / Name, skwtest::ReadFileBytes(std::string(SKW_KST_ARCHIVES) + "/" + Name)));
    }
    // A pack: any program in front of the archive will do.
    const std::string Pack = skwtest::Quoted(std::string(SKW_BIN_DIR) + "/skinwright-pack" + SKW_EXE_SUFFIX);
    std::string Command = Pack + " --ext bin " + skwtest::Program() + " " + skwtest::Quoted(Dir / "py.zip") + " " +
                          skwtest::Quoted(Dir / "pack.exe") + (platform::kIsWindows ? " >NUL" : " >/dev/null");
    if (platform::kIsWindows) Command = skwtest::Quoted(Command);
    ASSERT_EQ(std::system(Command.c_str()), 0);
#endif
  }
};

TEST_F(KstTable, CommandLinesAndTheirOutcomes) {
  for (const TRow& Row : Rows()) {
    if (Row.LinuxOnly && platform::kIsWindows) continue;
    SCOPED_TRACE(Row.Args);
    const std::string Folder = skwtest::Native(Dir.Path()) + ScratchFolderSeparator();
    const Result R = Run(Replaced(Row.Args, "{}", Folder));
    EXPECT_EQ(Relative(R.Out, Folder), Native(Row.Out));
    EXPECT_EQ(Relative(skwtest::Lines(R.Err), Folder), Native(Row.Err));
    EXPECT_EQ(R.Code, Row.Code);
  }
  // What the extract rows left behind: good files, folders, nothing damaged
  // unless asked for, files without their folders with -j.
  EXPECT_TRUE(platform::Exists(Dir / skwtest::Native("out/good.txt")));
  EXPECT_TRUE(platform::Exists(Dir / skwtest::Native("out/empty")));
  EXPECT_FALSE(platform::Exists(Dir / skwtest::Native("out/bad.txt"))) << "a failed file is removed";
  EXPECT_FALSE(platform::Exists(Dir / skwtest::Native("out/b2.txt"))) << "no decoder, no file";
  EXPECT_EQ(skwtest::ReadText(Dir / skwtest::Native("keep/bad.txt")), "eamaged data\n");
  EXPECT_TRUE(platform::Exists(Dir / skwtest::Native("j/stored.txt")));
  if (!platform::kIsWindows) {
    EXPECT_TRUE(platform::Exists(Dir / "u/src/Ærø 日本.txt"));
    EXPECT_EQ(skwtest::ReadText(Dir / "n/x\\y.txt"), "backslash\n");
    EXPECT_EQ(skwtest::ReadText(Dir / "n/Runtimeconfig.class"), "lower\n");
    EXPECT_EQ(skwtest::ReadText(Dir / "n/RuntimeConfig.class"), "upper\n");
  }
}

}  // namespace
