// demo-game: writes a demo installation of the game shaped like a Wine prefix,
// so the installer can be seen at work without owning the game:
//   FOLDER/prefix/system.reg      the game's registry record
//   FOLDER/prefix/dosdevices/c:   link to ../drive_c
//   FOLDER/prefix/drive_c/Program Files/Razorworks/Comanche Hokum/cohokum/3ddata/
//                                 textures.bin and textures.pal
//   FOLDER/demo-pack-bin.zip      a pack for textures.bin
//   FOLDER/demo-pack-pal.zip      a pack for textures.pal
// Run the installer with WINEPREFIX=FOLDER/prefix. Exit code 0 on success, 1 on
// an error (one line on standard error), 2 for a wrong command line.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "DemoContainer.h"
#include "DemoPack.h"

namespace fs = std::filesystem;

namespace {

const char* const kGameFolder = "Program Files/Razorworks/Comanche Hokum";
const char* const kRegistryPath = "C:\\\\Program Files\\\\Razorworks\\\\Comanche Hokum";

void WriteFile(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  Out.close();
  if (!Out) throw std::runtime_error("cannot write " + Path.string());
}

std::string SystemReg() {
  return std::string(
             "WINE REGISTRY Version 2\n"
             ";; All keys relative to \\\\Machine\n"
             "\n"
             "#arch=win64\n"
             "\n"
             "[Software\\\\Wow6432Node\\\\Razorworks\\\\Comanche Hokum] 1714564800\n"
             "#time=1da9b9a2c4e7f00\n"
             "\"Installation Path\"=\"") +
         kRegistryPath + "\"\n\"Version\"=\"1.0\"\n";
}

void MakePrefix(const fs::path& Prefix) {
  const fs::path Data = Prefix / "drive_c" / kGameFolder / "cohokum" / "3ddata";
  fs::create_directories(Data);
  fs::create_directories(Prefix / "dosdevices");
  const fs::path Link = Prefix / "dosdevices" / "c:";
  // Only the Linux installer follows the drive link; where links cannot be
  // made (Windows without the right), the game is reached by its full path.
  std::error_code Failed;
  if (!fs::is_symlink(fs::symlink_status(Link))) fs::create_directory_symlink("../drive_c", Link, Failed);
  if (Failed) std::cerr << "demo-game: no drive link " << Link.string() << ": " << Failed.message() << "\n";
  WriteFile(Prefix / "system.reg", SystemReg());
  const auto Textures = demo::DemoTextures();
  WriteFile(Data / "textures.bin", demo::BuildContainer(Textures, true));
  WriteFile(Data / "textures.pal", demo::BuildContainer(Textures, false));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || std::string(argv[1]).empty() || argv[1][0] == '-') {
    std::cerr << "usage: demo-game FOLDER\n"
                 "Writes a demo game shaped like a Wine prefix to FOLDER/prefix and two demo\n"
                 "packs, FOLDER/demo-pack-bin.zip and FOLDER/demo-pack-pal.zip.\n";
    return 2;
  }
  try {
    const fs::path Folder = argv[1];
    MakePrefix(Folder / "prefix");
    WriteFile(Folder / "demo-pack-bin.zip", demo::BuildPack(true));
    WriteFile(Folder / "demo-pack-pal.zip", demo::BuildPack(false));
    std::cout << "demo game in " << (Folder / "prefix").string() << "\n"
              << "demo packs " << (Folder / "demo-pack-bin.zip").string() << " and "
              << (Folder / "demo-pack-pal.zip").string() << "\n";
  } catch (const std::exception& Error) {
    std::cerr << "demo-game: " << Error.what() << "\n";
    return 1;
  }
  return 0;
}
