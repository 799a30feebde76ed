// HostileZip: local headers and data first, then the central records, then the
// end record; each field its override or the value a sound writer would use.
#include "tests/kit/HostileZip.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <random>

namespace skwtest {

void Put16(TBytes& Out, uint32_t Value) {
  Out.push_back(uint8_t(Value));
  Out.push_back(uint8_t(Value >> 8));
}
void Put32(TBytes& Out, uint32_t Value) {
  Put16(Out, Value & 0xFFFF);
  Put16(Out, Value >> 16);
}

namespace {

void PutText(TBytes& Out, std::string_view Text) { Out.insert(Out.end(), Text.begin(), Text.end()); }

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> Table = [] {
    std::array<uint32_t, 256> T{};
    for (uint32_t N = 0; N < 256; ++N) {
      uint32_t C = N;
      for (int K = 0; K < 8; ++K) C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
      T[N] = C;
    }
    return T;
  }();
  return Table;
}

uint32_t CrcByte(uint32_t Crc, uint8_t Byte) { return CrcTable()[(Crc ^ Byte) & 0xFF] ^ (Crc >> 8); }

// The three keys of traditional encryption.
struct Keys {
  uint32_t K0 = 0x12345678, K1 = 0x23456789, K2 = 0x34567890;
  explicit Keys(const std::string& Password) {
    for (char C : Password) Update(uint8_t(C));
  }
  void Update(uint8_t Plain) {
    K0 = CrcByte(K0, Plain);
    K1 = (K1 + (K0 & 0xFF)) * 134775813u + 1;
    K2 = CrcByte(K2, uint8_t(K1 >> 24));
  }
  uint8_t Stream() const {
    const uint32_t T = (K2 | 2) & 0xFFFF;
    return uint8_t((T * (T ^ 1)) >> 8);
  }
};

struct Values {
  uint32_t Crc, Packed, Unpacked;
};

Values RealValues(const HostileEntry& E) {
  const TBytes& Content = E.Plain.empty() ? E.Data : E.Plain;
  return {E.Crc.value_or(HostileCrc32(Content)), E.PackedSize.value_or(uint32_t(E.Data.size())),
          E.UnpackedSize.value_or(uint32_t(Content.size()))};
}

void WriteLocal(TBytes& Out, const HostileEntry& E) {
  const Values V = RealValues(E);
  const std::string& Name = E.LocalName ? *E.LocalName : E.Name;
  Put32(Out, 0x04034B50);
  Put16(Out, E.VersionNeeded);
  Put16(Out, E.LocalFlags.value_or(E.Flags));
  Put16(Out, E.LocalMethod.value_or(E.Method));
  Put32(Out, E.DosDateTime);
  Put32(Out, E.LocalCrc.value_or(V.Crc));
  Put32(Out, E.LocalPackedSize.value_or(V.Packed));
  Put32(Out, E.LocalUnpackedSize.value_or(V.Unpacked));
  Put16(Out, E.LocalNameLength.value_or(uint16_t(Name.size())));
  Put16(Out, uint16_t(E.Extra.size()));
  PutText(Out, Name);
  PutText(Out, E.Extra);
  Out.insert(Out.end(), E.Data.begin(), E.Data.end());
}

void WriteCentral(TBytes& Out, const HostileEntry& E, uint32_t Offset) {
  const Values V = RealValues(E);
  Put32(Out, 0x02014B50);
  Put16(Out, 20);  // made by: DOS
  Put16(Out, E.VersionNeeded);
  Put16(Out, E.Flags);
  Put16(Out, E.Method);
  Put32(Out, E.DosDateTime);
  Put32(Out, V.Crc);
  Put32(Out, V.Packed);
  Put32(Out, V.Unpacked);
  Put16(Out, E.NameLength.value_or(uint16_t(E.Name.size())));
  Put16(Out, E.ExtraLength.value_or(uint16_t(E.Extra.size())));
  Put16(Out, E.CommentLength.value_or(uint16_t(E.Comment.size())));
  Put16(Out, 0);  // disk
  Put16(Out, 0);  // internal attributes
  Put32(Out, E.ExternalAttr);
  Put32(Out, E.LocalOffset.value_or(Offset));
  PutText(Out, E.Name);
  PutText(Out, E.Extra);
  PutText(Out, E.Comment);
}

}  // namespace

TBytes BytesOf(std::string_view Text) { return TBytes(Text.begin(), Text.end()); }

uint32_t HostileCrc32(const TBytes& Data) {
  uint32_t Crc = 0xFFFFFFFF;
  for (uint8_t B : Data) Crc = CrcByte(Crc, B);
  return Crc ^ 0xFFFFFFFF;
}

TBytes HostileZip::Build() const {
  TBytes Out = Prefix;
  std::vector<uint32_t> Offsets;
  for (const HostileEntry& E : Entries) {
    Offsets.push_back(uint32_t(Out.size()));
    if (E.WriteLocal) WriteLocal(Out, E);
  }
  const uint32_t DirStart = uint32_t(Out.size());
  uint16_t Count = 0;
  for (size_t I = 0; I < Entries.size(); ++I) {
    if (!Entries[I].WriteCentral) continue;
    WriteCentral(Out, Entries[I], Offsets[I]);
    ++Count;
  }
  const uint32_t DirSize = uint32_t(Out.size()) - DirStart;
  if (WriteEnd) {
    Put32(Out, 0x06054B50);
    Put16(Out, End.DiskNumber);
    Put16(Out, End.DirDisk);
    Put16(Out, End.DiskEntries.value_or(Count));
    Put16(Out, End.TotalEntries.value_or(Count));
    Put32(Out, End.DirSize.value_or(DirSize));
    Put32(Out, End.DirOffset.value_or(DirStart));
    Put16(Out, End.CommentLength.value_or(uint16_t(End.Comment.size())));
    PutText(Out, End.Comment);
  }
  Out.insert(Out.end(), Trailer.begin(), Trailer.end());
  return Out;
}

HostileEntry StoredEntry(std::string Name, std::string_view Text) {
  HostileEntry E;
  E.Name = std::move(Name);
  E.Data = BytesOf(Text);
  return E;
}

TBytes StoredDeflate(const TBytes& Plain) {
  TBytes Out;
  size_t At = 0;
  do {
    const size_t N = std::min<size_t>(Plain.size() - At, 65535);
    const bool Final = At + N == Plain.size();
    Out.push_back(Final ? 1 : 0);
    Put16(Out, uint32_t(N));
    Put16(Out, uint32_t(~N & 0xFFFF));
    Out.insert(Out.end(), Plain.begin() + std::ptrdiff_t(At), Plain.begin() + std::ptrdiff_t(At + N));
    At += N;
  } while (At < Plain.size());
  return Out;
}

HostileEntry DeflateEntry(std::string Name, TBytes Stream, TBytes Plain) {
  HostileEntry E;
  E.Name = std::move(Name);
  E.Method = 8;
  E.Data = std::move(Stream);
  E.Plain = std::move(Plain);
  return E;
}

TBytes ZipEncrypt(const TBytes& Data, const std::string& Password, uint8_t CheckByte, uint32_t Seed) {
  Keys K(Password);
  TBytes Out;
  std::minstd_rand Random(Seed);
  for (int I = 0; I < 12; ++I) {
    const uint8_t Plain = I == 11 ? CheckByte : uint8_t(Random());
    Out.push_back(Plain ^ K.Stream());
    K.Update(Plain);
  }
  for (uint8_t Plain : Data) {
    Out.push_back(Plain ^ K.Stream());
    K.Update(Plain);
  }
  return Out;
}

uint8_t DecipheredCheckByte(const TBytes& Encrypted, const std::string& Password) {
  Keys K(Password);
  uint8_t Plain = 0;
  for (size_t I = 0; I < 12 && I < Encrypted.size(); ++I) {
    Plain = Encrypted[I] ^ K.Stream();
    K.Update(Plain);
  }
  return Plain;
}

HostileFile::HostileFile(const TBytes& Bytes, const std::string& Name) {
  namespace fs = std::filesystem;
  std::random_device Random;
  fs::path Folder;
  do {
    Folder = fs::temp_directory_path() / ("skw-hostile-" + std::to_string(Random()));
  } while (!fs::create_directory(Folder));
  FFolder = Folder.string();
  FPath = (Folder / Name).string();
  std::ofstream Out(FPath, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
}

HostileFile::~HostileFile() {
  std::error_code Ignored;
  std::filesystem::remove_all(FFolder, Ignored);
}

}  // namespace skwtest
