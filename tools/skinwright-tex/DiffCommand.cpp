// diff: what differs between two containers of the same kind, for instance the
// kept original and the container after an install. Records are paired by the
// name the texture index gives them (with the "-D" mark), the n-th record of a
// name in OLD with the n-th of that name in NEW; a name with more records on
// one side has records added or lost. Paired records are compared field by
// field (type, size, mip count, palette number) and byte by byte over their
// pixel data, level 0 apart from the smaller levels. Palettes are compared by number. When none of that differs but
// the files do (the kept bytes behind the palette table, a record's tail bytes,
// bytes behind "WOOD PLANK"), that is reported too: exit 0 means equal files.
#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "textures/TextureContainer.h"
#include "tools/skinwright-tex/ContainerSource.h"

namespace tex_tool {

namespace {

using TRecords = std::vector<const skw::TTextureRecord*>;

std::map<std::string, TRecords> ByName(const TContainer& Container) {
  std::map<std::string, TRecords> Names;
  for (const skw::TTextureRecord& Record : Container.Records) Names[Record.Name].push_back(&Record);
  return Names;
}

std::string Shape(const skw::TTextureRecord& R) {
  if (!R.HasHeader) return "type " + std::to_string(R.Type);
  return "type " + std::to_string(R.Type) + ", " + std::to_string(R.Width) + "x" + std::to_string(R.Height) +
         ", mip count " + std::to_string(R.MipCount) + ", palette " + std::to_string(R.PaletteNumber);
}

bool SameBytes(const uint8_t* A, const uint8_t* B, int64_t Count) {
  return Count <= 0 || std::memcmp(A, B, static_cast<size_t>(Count)) == 0;
}

// The differences of one pair, empty when they are the same. Level 0 is told
// apart from the smaller levels: an install makes the smaller levels anew from
// the picture, so after a round trip only they differ.
std::string Differences(const TContainer& Old, const skw::TTextureRecord& A, const TContainer& New,
                        const skw::TTextureRecord& B) {
  std::string Text;
  const auto Note = [&Text](const std::string& What) { Text += (Text.empty() ? "" : ", ") + What; };
  const auto Add = [&Note](const std::string& What, int64_t From, int64_t To) {
    if (From != To) Note(What + " " + std::to_string(From) + " -> " + std::to_string(To));
  };
  Add("type", A.Type, B.Type);
  if (!A.HasHeader || !B.HasHeader) return Text;
  Add("width", A.Width, B.Width);
  Add("height", A.Height, B.Height);
  Add("mip count", A.MipCount, B.MipCount);
  Add("palette", A.PaletteNumber, B.PaletteNumber);
  const int64_t Level0 =
      std::min(A.DataSize, static_cast<int64_t>(A.Width) * A.Height * skw::BytesPerPixel(Old.Bin, A.Type));
  const bool SameSize = A.DataSize == B.DataSize;
  const uint8_t* OldData = Old.Bytes(A.DataOffset);
  const uint8_t* NewData = New.Bytes(B.DataOffset);
  if (!SameSize || A.Width != B.Width || A.Height != B.Height || !SameBytes(OldData, NewData, Level0))
    Note("level 0 pixels");
  if (!SameSize || !SameBytes(OldData + Level0, NewData + Level0, A.DataSize - Level0)) Note("smaller levels");
  return Text;
}

bool SamePalette(const TContainer& Old, const TContainer& New, int32_t Number) {
  return std::memcmp(Old.Bytes(skw::PaletteOffset(Number)), New.Bytes(skw::PaletteOffset(Number)),
                     skw::kPaletteBytes) == 0;
}

}  // namespace

int RunDiff(const TArgs& Args) {
  const TOptions Options = ParseOptions(Args, {});
  if (Options.Words.size() != 2) throw UsageError("diff needs two containers, OLD and NEW");
  const TContainer Old = LoadContainer(Options.Words[0]);
  const TContainer New = LoadContainer(Options.Words[1]);
  if (Old.Bin != New.Bin)
    throw TToolError(kExitUnreadable, "a true-colour and a palettised container cannot be compared");

  int Changed = 0, Added = 0, Lost = 0, Palettes = 0;
  for (int32_t Number = 0; Number < std::max(Old.PaletteCount, New.PaletteCount); ++Number) {
    if (Number >= Old.PaletteCount) {
      std::cout << "palette added: " << Number << "\n";
    } else if (Number >= New.PaletteCount) {
      std::cout << "palette lost: " << Number << "\n";
    } else if (!SamePalette(Old, New, Number)) {
      std::cout << "palette changed: " << Number << "\n";
    } else {
      continue;
    }
    ++Palettes;
  }
  const std::map<std::string, TRecords> OldNames = ByName(Old);
  const std::map<std::string, TRecords> NewNames = ByName(New);
  const auto Occurrences = [](const std::map<std::string, TRecords>& Names, const std::string& Name) {
    const auto Found = Names.find(Name);
    return Found == Names.end() ? TRecords{} : Found->second;
  };
  // Records in OLD's file order, each paired with the record of the same name
  // and occurrence in NEW.
  std::map<std::string, size_t> Seen;
  for (const skw::TTextureRecord& Record : Old.Records) {
    const size_t Occurrence = Seen[Record.Name]++;
    const TRecords Partners = Occurrences(NewNames, Record.Name);
    if (Occurrence >= Partners.size()) {
      std::cout << "record lost: " << Record.Name << " (record " << Record.Number << ", " << Shape(Record) << ")\n";
      ++Lost;
    } else if (const std::string Text = Differences(Old, Record, New, *Partners[Occurrence]); !Text.empty()) {
      std::cout << "changed: " << Record.Name << ": " << Text << "\n";
      ++Changed;
    }
  }
  Seen.clear();
  for (const skw::TTextureRecord& Record : New.Records) {
    if (Seen[Record.Name]++ < Occurrences(OldNames, Record.Name).size()) continue;
    std::cout << "record added: " << Record.Name << " (record " << Record.Number << ", " << Shape(Record) << ")\n";
    ++Added;
  }
  const bool SameFiles =
      Old.Stream.Size() == New.Stream.Size() && SameBytes(Old.Bytes(0), New.Bytes(0), Old.Stream.Size());
  const bool Differ = Changed + Added + Lost + Palettes > 0;
  if (!Differ && !SameFiles)
    std::cout << "other bytes differ (the 8 bytes behind the palettes, record tails or bytes after the last record)\n";
  if (SameFiles) {
    std::cout << "the containers are equal\n";
    return kExitOk;
  }
  std::cout << Changed << " textures changed, " << Added << " records added, " << Lost << " records lost, " << Palettes
            << " palettes added, lost or changed\n";
  return kExitFailed;
}

}  // namespace tex_tool
