// Tests of the read-only registry lookup: the Wine registry file reader (both
// views and their order, escapes, the value types, missing keys and values) on
// hand-written system.reg texts, the Linux lookup through a scratch Wine prefix,
// and, on both systems, a key that does not exist.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Process.h"
#include "platform/Registry.h"
#include "tests/platform/ScratchDir.h"

namespace {

using platform::FindInRegistryFile;
using platform::RegistryStatus;

const std::vector<std::string> kGameKeys = {"Software\\Wow6432Node\\Razorworks\\Comanche Hokum",
                                            "Software\\Razorworks\\Comanche Hokum"};

std::string Hive(const std::string& Body) {
  return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" + Body;
}

platform::RegistryValue Lookup(const std::string& Body, const std::string& Name = "Installation Path") {
  return FindInRegistryFile(Hive(Body), kGameKeys, Name);
}

TEST(RegistryFile, ReadsStringsOfEitherViewPreferringThe32BitOne) {
  const std::string Native =
      "[Software\\\\Razorworks\\\\Comanche Hokum] 1700000000\n#time=1da\n"
      "\"Installation Path\"=\"C:\\\\Games\\\\Native\"\n\n";
  const std::string Wow =
      "[Software\\\\Wow6432Node\\\\Razorworks\\\\Comanche Hokum] 1700000001\n"
      "\"Installation Path\"=\"D:\\\\Games\\\\Razorworks\"\n\n";
  EXPECT_EQ(Lookup(Native).Text, "C:\\Games\\Native");
  // The 32-bit view wins wherever it stands in the file.
  EXPECT_EQ(Lookup(Native + Wow).Text, "D:\\Games\\Razorworks");
  EXPECT_EQ(Lookup(Wow + Native).Text, "D:\\Games\\Razorworks");
  // A 32-bit key without the value passes the lookup on to the other view.
  const std::string EmptyWow = "[Software\\\\Wow6432Node\\\\Razorworks\\\\Comanche Hokum] 1\n\"Other\"=\"x\"\n";
  EXPECT_EQ(Lookup(EmptyWow + Native).Text, "C:\\Games\\Native");
}

TEST(RegistryFile, ComparesKeyAndValueNamesWithoutCase) {
  const std::string Body = "[SOFTWARE\\\\razorworks\\\\COMANCHE HOKUM] 1\r\n\"installation path\"=\"C:\\\\G\"\r\n";
  const platform::RegistryValue Value = Lookup(Body);
  EXPECT_EQ(Value.Status, RegistryStatus::Found);
  EXPECT_EQ(Value.Text, "C:\\G");
}

TEST(RegistryFile, DecodesEscapesAndStopsAtZero) {
  const std::string Body =
      "[Software\\\\Razorworks\\\\Comanche Hokum] 1\n"
      "\"Installation Path\"=\"C:\\\\say \\\"hi\\\"\\\\caf\\x00e9\\tx\\x20ac\\xd83d\\xde00\\0tail\"\n";
  EXPECT_EQ(Lookup(Body).Text, "C:\\say \"hi\"\\caf\xC3\xA9\tx\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(RegistryFile, ExpandableAndHexStringsAreTakenAsStored) {
  const std::string Expand =
      "[Software\\\\Razorworks\\\\Comanche Hokum] 1\n"
      "\"Installation Path\"=str(2):\"%ProgramFiles%\\\\Razorworks\"\n";
  EXPECT_EQ(Lookup(Expand).Text, "%ProgramFiles%\\Razorworks");
  // "C:\G" as UTF-16, split over a continuation line, with its terminating zero.
  const std::string Hex =
      "[Software\\\\Razorworks\\\\Comanche Hokum] 1\n"
      "\"Installation Path\"=hex(2):43,00,3a,00,\\\n  5c,00,47,00,00,00\n\"Next\"=\"n\"\n";
  EXPECT_EQ(Lookup(Hex).Text, "C:\\G");
  EXPECT_EQ(Lookup(Hex, "Next").Text, "n");
}

TEST(RegistryFile, OtherTypesAreTheTypeError) {
  for (const char* Data : {"dword:00000001", "hex:01,02", "str(7):\"a\\0b\"", "hex(4):01,00,00,00", "\"unterminated"}) {
    const std::string Body =
        std::string("[Software\\\\Razorworks\\\\Comanche Hokum] 1\n\"Installation Path\"=") + Data + "\n";
    EXPECT_EQ(Lookup(Body).Status, RegistryStatus::WrongType) << Data;
  }
}

TEST(RegistryFile, MissingKeyAndMissingValue) {
  EXPECT_EQ(Lookup("").Status, RegistryStatus::KeyMissing);
  EXPECT_EQ(Lookup("[Software\\\\Razorworks] 1\n\"Installation Path\"=\"C:\"\n").Status, RegistryStatus::KeyMissing);
  // The value of the next section does not belong to the key.
  const std::string Body =
      "[Software\\\\Razorworks\\\\Comanche Hokum] 1\n\"Version\"=\"1.0\"\n@=\"default\"\n\n"
      "[Software\\\\Razorworks\\\\Comanche Hokum\\\\Sub] 1\n\"Installation Path\"=\"C:\"\n";
  EXPECT_EQ(Lookup(Body).Status, RegistryStatus::ValueMissing);
  EXPECT_EQ(Lookup(Body, "").Text, "default");
}

TEST(RegistryFile, DamagedLinesAreSkipped) {
  const std::string Key = "[Software\\\\Razorworks\\\\Comanche Hokum] 1\n";
  EXPECT_EQ(Lookup("[\n[Software\\\\Razorworks\\\\Comanche Hokum\n\"Installation Path\"=\"C:\"\n").Status,
            RegistryStatus::KeyMissing);
  const std::string Damaged = Key + "\"Installation Path\n\"Installation Path\"\n\"Installation\\\n@\n\"a\"=hex(2):4\n";
  EXPECT_EQ(Lookup(Damaged).Status, RegistryStatus::ValueMissing);
  EXPECT_EQ(Lookup(Key + "\"Installation Path\"=").Status, RegistryStatus::WrongType);
  EXPECT_EQ(Lookup(Key + "\"Installation Path\"=\"C:\\").Status, RegistryStatus::WrongType);
  EXPECT_EQ(Lookup(Key + "\"Installation Path\"=hex(2):43,00,4").Status, RegistryStatus::WrongType);
  EXPECT_EQ(Lookup(Key + "\"Installation Path\"=hex(1):43,00,44,00,\\").Text, "CD");
}

TEST(Registry, MissingKeyOnTheRunningSystem) {
  skwtest::ScratchDir Prefix;
  const std::string SavedPrefix = platform::GetEnvironment("WINEPREFIX");
  if (!platform::kIsWindows) {
    ASSERT_TRUE(platform::SetEnvironment("WINEPREFIX", Prefix.Path()));
  }
  // On Linux the scratch prefix has no system.reg at all.
  const platform::RegistryValue Value =
      platform::ReadMachineString("Software\\Skinwright tests\\No such key", "Installation Path");
  EXPECT_EQ(Value.Status, RegistryStatus::KeyMissing);
  if (!platform::kIsWindows) platform::SetEnvironment("WINEPREFIX", SavedPrefix);
}

TEST(Registry, LinuxLookupReadsThePrefixHive) {
  if (platform::kIsWindows) GTEST_SKIP() << "reads the real registry on Windows";
  skwtest::ScratchDir Prefix;
  ASSERT_TRUE(skwtest::ScratchDir::WriteText(Prefix / "system.reg",
                                             Hive("[Software\\\\Wow6432Node\\\\Razorworks\\\\Comanche Hokum] 1\n"
                                                  "\"Installation Path\"=\"C:\\\\Games\\\\Razorworks\"\n"
                                                  "\"Count\"=dword:00000003\n")));
  const std::string SavedPrefix = platform::GetEnvironment("WINEPREFIX");
  ASSERT_TRUE(platform::SetEnvironment("WINEPREFIX", Prefix.Path()));
  const std::string Key = "Software\\Razorworks\\Comanche Hokum";
  EXPECT_EQ(platform::ReadMachineString(Key, "Installation Path").Text, "C:\\Games\\Razorworks");
  EXPECT_EQ(platform::ReadMachineString(Key, "Count").Status, RegistryStatus::WrongType);
  EXPECT_EQ(platform::ReadMachineString(Key, "Missing").Status, RegistryStatus::ValueMissing);
  EXPECT_EQ(platform::ReadMachineString("Software\\Other", "Installation Path").Status, RegistryStatus::KeyMissing);
  platform::SetEnvironment("WINEPREFIX", SavedPrefix);
}

// Runs "reg" with Arguments through the command interpreter; true on success.
bool Reg(const std::string& Arguments) {
  const std::string Command = "\"reg " + Arguments + " >NUL 2>NUL\"";
  return std::system(Command.c_str()) == 0;
}

TEST(Registry, WindowsViewsAndTypes) {
  if (!platform::kIsWindows) GTEST_SKIP() << "the Linux lookup is tested on its hive above";
  const std::string Key = "Software\\Skinwright tests " + std::to_string(platform::ProcessId());
  const std::string Hklm = "\"HKLM\\" + Key + "\"";
  if (!Reg("add " + Hklm + " /v \"Installation Path\" /d \"C:\\G\" /reg:32 /f"))
    GTEST_SKIP() << "this account may not write HKEY_LOCAL_MACHINE";
  ASSERT_TRUE(Reg("add " + Hklm + " /v Count /t REG_DWORD /d 3 /reg:32 /f"));
  ASSERT_TRUE(Reg("add " + Hklm + " /v Expand /t REG_EXPAND_SZ /d \"C:\\E\" /reg:32 /f"));
  ASSERT_TRUE(Reg("add " + Hklm + " /v Only64 /d \"C:\\Native\" /reg:64 /f"));
  EXPECT_EQ(platform::ReadMachineString(Key, "Installation Path").Text, "C:\\G");
  EXPECT_EQ(platform::ReadMachineString(Key, "Expand").Text, "C:\\E");
  EXPECT_EQ(platform::ReadMachineString(Key, "Count").Status, RegistryStatus::WrongType);
  EXPECT_EQ(platform::ReadMachineString(Key, "Only64").Text, "C:\\Native");
  EXPECT_EQ(platform::ReadMachineString(Key, "Missing").Status, RegistryStatus::ValueMissing);
  Reg("delete " + Hklm + " /reg:32 /f");
  Reg("delete " + Hklm + " /reg:64 /f");
  EXPECT_EQ(platform::ReadMachineString(Key, "Installation Path").Status, RegistryStatus::KeyMissing);
}

}  // namespace
