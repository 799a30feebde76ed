// Fuzz target: every entry of arbitrary bytes taken for an archive extracted
// into a TDecompMemoryStream (all methods, with a small list of passwords, of
// which the corpus archives use the first three), then tested once more with
// the verify target. Each item the stream records must lie inside the stream.
#include "archive/extract/Kstunzip.h"
#include "fuzz/FuzzSupport.h"

namespace {

void ExtractAll(const std::string& Path, kst::TDecompMemoryStream* Stream) {
  kst::TUnZip UnZip;
  UnZip.SetArchiveFile(Path);
  UnZip.FileSpec = {"*.*"};
  UnZip.Passwords = {"Secret1", "alpha", "beta", "x"};
  UnZip.ConfirmOverwrites = false;
  try {
    if (Stream)
      UnZip.ExtractToMemoryStream(Stream);
    else
      UnZip.ExtractToVerify();
  } catch (const kst::E_RAISE&) {
  }
}

}  // namespace

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunArchiveExtract(const uint8_t* Data, size_t Size) {
  static skwtest::ScratchFile Scratch(".zip");
  const std::string& Path = Scratch.Write(Data, Size);
  kst::TDecompMemoryStream Stream;
  ExtractAll(Path, &Stream);
  for (int32_t I = 0; I < Stream.Count(); ++I) {
    if (static_cast<int64_t>(Stream.GetFileOffset(I)) > Stream.Size()) __builtin_trap();
    if (Stream.GetFileName(I).size() > kst::TStreamHeader::MaxNameLength) __builtin_trap();
  }
  ExtractAll(Path, nullptr);
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  return skwtest::RunArchiveExtract(Data, Size);
}
#endif
