// libdeflate_cat ARCHIVE ENTRY: the anchor "kst cat" is timed against in
// bench/kst_vs_unzip.sh. It finds the Deflate entry through the central
// directory, reads its compressed bytes whole, decompresses them in one call
// into a buffer of the entry's size, checks the CRC-32 and writes the bytes to
// standard output. Only plain ZIP archives (no ZIP64, no encryption).
#include <libdeflate.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint32_t Le16(const uint8_t* P) { return uint32_t(P[0]) | uint32_t(P[1]) << 8; }
uint32_t Le32(const uint8_t* P) { return Le16(P) | Le16(P + 2) << 16; }

bool ReadAt(std::FILE* File, long Offset, std::vector<uint8_t>& Out) {
  return std::fseek(File, Offset, SEEK_SET) == 0 && std::fread(Out.data(), 1, Out.size(), File) == Out.size();
}

int Fail(const char* What) {
  std::fprintf(stderr, "libdeflate_cat: %s\n", What);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: libdeflate_cat ARCHIVE ENTRY");
  std::FILE* File = std::fopen(argv[1], "rb");
  if (File == nullptr || std::fseek(File, 0, SEEK_END) != 0) return Fail("cannot open the archive");
  const long Size = std::ftell(File);
  const long TailSize = Size < 65557 ? Size : 65557;
  std::vector<uint8_t> Tail(size_t(TailSize > 0 ? TailSize : 0));
  if (Tail.size() < 22 || !ReadAt(File, Size - TailSize, Tail)) return Fail("no end record");
  size_t End = Tail.size() - 22;
  while (End > 0 && Le32(&Tail[End]) != 0x06054b50) --End;
  if (Le32(&Tail[End]) != 0x06054b50) return Fail("no end record");
  std::vector<uint8_t> Directory(Le32(&Tail[End + 12]));
  if (!ReadAt(File, long(Le32(&Tail[End + 16])), Directory)) return Fail("cannot read the directory");

  const std::string Wanted = argv[2];
  for (size_t At = 0; At + 46 <= Directory.size();) {
    const uint8_t* Record = &Directory[At];
    const size_t NameLength = Le16(Record + 28);
    const size_t Next = At + 46 + NameLength + Le16(Record + 30) + Le16(Record + 32);
    if (Le32(Record) != 0x02014b50 || At + 46 + NameLength > Directory.size()) break;
    if (std::string(reinterpret_cast<const char*>(Record + 46), NameLength) != Wanted) {
      At = Next;
      continue;
    }
    if (Le16(Record + 10) != 8) return Fail("not a Deflate entry");
    const uint32_t Crc = Le32(Record + 16);
    std::vector<uint8_t> Packed(Le32(Record + 20)), Out(Le32(Record + 24));
    std::vector<uint8_t> Local(30);
    const long LocalAt = long(Le32(Record + 42));
    if (!ReadAt(File, LocalAt, Local) || Le32(Local.data()) != 0x04034b50) return Fail("bad local header");
    if (!ReadAt(File, LocalAt + 30 + long(Le16(&Local[26]) + Le16(&Local[28])), Packed))
      return Fail("cannot read the entry");
    libdeflate_decompressor* Decompressor = libdeflate_alloc_decompressor();
    size_t Written = 0;
    const libdeflate_result Result =
        libdeflate_deflate_decompress(Decompressor, Packed.data(), Packed.size(), Out.data(), Out.size(), &Written);
    libdeflate_free_decompressor(Decompressor);
    if (Result != LIBDEFLATE_SUCCESS || Written != Out.size()) return Fail("bad Deflate data");
    if (libdeflate_crc32(0, Out.data(), Out.size()) != Crc) return Fail("CRC mismatch");
    if (std::fwrite(Out.data(), 1, Out.size(), stdout) != Out.size()) return Fail("cannot write");
    return 0;
  }
  return Fail("entry not found");
}
