// export: level 0 of indexed textures as pictures, named exactly as a pack must
// name them, so that a pack made of the exported pictures and installed into
// the same container gives every exported texture back its level-0 bytes and
// palette number. True colour: a 24-bit picture of the record's red, green,
// blue pixels. Palettised: an 8-bit picture whose 256-entry colour table is the
// record's palette and whose pixels are the record's index bytes. Both are
// written by the engine's own bitmap writer (40-byte information header, rows
// bottom-up). A texture that cannot come back through a pack (a name the
// installer would cut differently or Windows cannot store, a size no picture
// has, a height under 3 that the installer would turn into no level at all, a
// palette number outside the table) is reported and skipped. File names are
// checked to hold no separator, so nothing is written outside DIR.
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "textures/Bitmap.h"
#include "textures/TextureContainer.h"
#include "tools/skinwright-tex/ContainerSource.h"
#include "tools/skinwright-tex/PictureNames.h"

namespace tex_tool {

namespace {

std::string ExportProblem(const TContainer& Container, const skw::TTextureRecord& Record) {
  if (!Record.Indexed)
    return "record " + std::to_string(Record.Number) + " is not indexed: the installer never writes it";
  if (Record.Width <= 0 || Record.Height <= 0 || Record.Width > skw::TBitmap::kMaxDimension ||
      Record.Height > skw::TBitmap::kMaxDimension)
    return "its size " + std::to_string(Record.Width) + "x" + std::to_string(Record.Height) + " is no picture's";
  if (Record.Height < 3)
    return "it is " + std::to_string(Record.Height) +
           " pixels high: the installer makes no level of a picture under 3 pixels high";
  if (!Container.Bin && (Record.PaletteNumber < 0 || Record.PaletteNumber >= Container.PaletteCount))
    return "its palette number " + std::to_string(Record.PaletteNumber) + " is not in the table of " +
           std::to_string(Container.PaletteCount) + " palettes";
  return PictureNameProblem(Record.Name, Container.Bin, Record.Width, Record.Height);
}

const uint8_t* PaletteBytes(const TContainer& Container, int32_t Number) {
  return Container.Bytes(skw::PaletteOffset(Number));
}

skw::TBitmap PictureOf(const TContainer& Container, const skw::TTextureRecord& Record) {
  skw::TBitmap Picture;
  if (!Container.Bin) {
    Picture.SetPixelFormat(skw::TPixelFormat::pf8bit);
    const uint8_t* Palette = PaletteBytes(Container, Record.PaletteNumber);
    skw::TColorTable Table{};
    for (size_t Entry = 0; Entry < Table.size(); ++Entry) {
      const uint8_t* RGBA = Palette + 4 * Entry;
      Table[Entry] = skw::TRGBQuad{RGBA[2], RGBA[1], RGBA[0], RGBA[3]};
    }
    Picture.SetColorTable(Table);
  }
  Picture.SetSize(Record.Width, Record.Height);
  const size_t RowBytes = static_cast<size_t>(Picture.RowSize());
  const uint8_t* Level0 = Container.Bytes(Record.DataOffset);
  for (int32_t Row = 0; Row < Record.Height; ++Row)
    std::memcpy(Picture.ScanLine(Row).data(), Level0 + RowBytes * static_cast<size_t>(Row), RowBytes);
  return Picture;
}

// The earliest palette with the same 1024 bytes: the one the installer will
// choose when the exported picture comes back.
int32_t FirstEqualPalette(const TContainer& Container, int32_t Number) {
  for (int32_t Earlier = 0; Earlier < Number; ++Earlier) {
    if (std::memcmp(PaletteBytes(Container, Earlier), PaletteBytes(Container, Number), skw::kPaletteBytes) == 0)
      return Earlier;
  }
  return Number;
}

std::string FoldedCase(std::string Text) {
  for (char& C : Text) {
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  }
  return Text;
}

// Writes a picture file (created or replaced). Not flushed to the disk one by
// one: an export is made again at will, and a flush per picture would cost
// more than everything else the export does.
bool WritePicture(const std::string& Path, const std::vector<uint8_t>& Bytes) {
  const platform::FileHandle File = platform::OpenWrite(Path, true);
  if (File == platform::kInvalidHandle) return false;
  const bool Written = platform::Write(File, Bytes.data(), Bytes.size()) == static_cast<int64_t>(Bytes.size());
  platform::Close(File);
  return Written;
}

void EnsureFolder(const std::string& Dir) {
  const uint32_t Attributes = platform::GetAttributes(Dir);
  if (Attributes != platform::kInvalidAttributes && (Attributes & platform::kAttrDirectory) != 0) return;
  if (!platform::MakeDirectory(Dir)) throw TToolError(kExitUnreadable, "cannot make the folder " + Dir);
}

// The indexed records to export: the first of every indexed name, or the first
// of each name asked for. Names not found are reported and counted in Missing.
std::vector<const skw::TTextureRecord*> Chosen(const TContainer& Container, const TArgs& Names, int& Missing) {
  std::map<std::string, const skw::TTextureRecord*> First;
  std::vector<const skw::TTextureRecord*> InOrder;
  for (const skw::TTextureRecord& Record : Container.Records) {
    if (Record.Indexed && First.emplace(Record.Name, &Record).second) InOrder.push_back(&Record);
  }
  if (Names.empty()) return InOrder;
  std::vector<const skw::TTextureRecord*> Asked;
  for (const std::string& Name : Names) {
    const auto Found = First.find(Name);
    if (Found != First.end()) {
      Asked.push_back(Found->second);
      continue;
    }
    ++Missing;
    std::cerr << "skinwright-tex: " << Name << ": no indexed texture of that name (names are case-sensitive; "
              << "'skinwright-tex list' shows them)\n";
  }
  return Asked;
}

// How many indexed records carry each name: one picture replaces all of them.
std::map<std::string, int> Sharing(const TContainer& Container) {
  std::map<std::string, int> Count;
  for (const skw::TTextureRecord& Record : Container.Records) Count[Record.Name] += Record.Indexed ? 1 : 0;
  return Count;
}

}  // namespace

int RunExport(const TArgs& Args) {
  const TOptions Options = ParseOptions(Args, {"--container", "--bin", "--pal"});
  if (Options.Words.empty()) throw UsageError("export needs a folder to write the pictures to");
  const std::string Dir = Options.Words[0];
  const TContainer Container = LoadContainer(ContainerPathFrom(Options));
  int Missing = 0;
  const std::vector<const skw::TTextureRecord*> Records =
      Chosen(Container, TArgs(Options.Words.begin() + 1, Options.Words.end()), Missing);
  EnsureFolder(Dir);

  int Written = 0;
  int Skipped = 0;
  // File names already written, letters folded: a Windows folder cannot hold
  // two names that differ only in case, the second would replace the first.
  std::map<std::string, std::string> Folded;
  const std::map<std::string, int> Shared = Sharing(Container);
  for (const skw::TTextureRecord* Record : Records) {
    std::string Problem = ExportProblem(Container, *Record);
    const std::string File = PictureNameFor(Record->Name, Container.Bin, Record->Width, Record->Height);
    if (Problem.empty()) {
      const auto [Earlier, New] = Folded.emplace(FoldedCase(File), File);
      if (!New)
        Problem = "its picture name differs from " + Earlier->second +
                  " only in letter case, which a Windows folder cannot hold twice (export it into another folder)";
    }
    if (!Problem.empty()) {
      std::cerr << "skinwright-tex: skipped " << Record->Name << ": " << Problem << "\n";
      ++Skipped;
      continue;
    }
    const std::vector<uint8_t> Bytes = PictureOf(Container, *Record).SaveToBuffer();
    if (!WritePicture(Dir + "/" + File, Bytes)) throw TToolError(kExitUnreadable, "cannot write " + Dir + "/" + File);
    std::cout << File << "\n";
    ++Written;
    if (const int Count = Shared.at(Record->Name); Count > 1)
      std::cerr << "skinwright-tex: note: " << Count << " textures are named " << Record->Name
                << "; the picture (from record " << Record->Number << ") replaces all of them\n";
    if (!Container.Bin) {
      if (const int32_t Equal = FirstEqualPalette(Container, Record->PaletteNumber); Equal != Record->PaletteNumber)
        std::cerr << "skinwright-tex: note: " << File << ": palette " << Record->PaletteNumber << " equals palette "
                  << Equal << "; installed, the texture gets palette " << Equal << " (the same colours)\n";
    }
  }
  std::cout << Written << " pictures written to " << Dir << ", " << Skipped << " skipped";
  if (Missing > 0) std::cout << ", " << Missing << " names not found";
  std::cout << "\n";
  return Skipped == 0 && Missing == 0 ? kExitOk : kExitFailed;
}

}  // namespace tex_tool
