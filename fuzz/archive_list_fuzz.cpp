// Fuzz target: arbitrary bytes taken for an archive file by the lister. The
// bytes are written to a scratch file, identified on assignment, walked with
// "*.*", listed with FilesInArchive, and the first and last names found are
// queried again with GetFileInfo and the accessors; the archive comment is
// copied into a buffer of the largest size the component may use.
#include <vector>

#include "archive/list/Kstkestrel.h"
#include "fuzz/FuzzSupport.h"

namespace skwtest {

// One input; also replayed by the regression test (tests/hardening).
inline int RunArchiveList(const uint8_t* Data, size_t Size) {
  static skwtest::ScratchFile Scratch(".zip");
  kst::TKestrel Lister;
  Lister.SetArchiveFile(Scratch.Write(Data, Size));
  Lister.FileSpec = {"*.*"};
  Lister.ShowEmptyDirs = (Size & 1) != 0;
  uint32_t Seen = 0;
  Lister.OnRead = [&Seen](kst::TKestrel* Sender, int32_t, int32_t) {
    Seen += static_cast<uint32_t>(Sender->FileName.size());
  };
  Lister.Activate();
  kst::TStringList Names;
  Lister.FilesInArchive(&Names);
  if (!Names.empty()) {
    Lister.GetFileInfo(Names.front());
    Lister.GetFileCrc(Names.back());
    Lister.GetFileUnpackedSize(Names.back());
    Lister.GetFileDate(Names.front());
  }
  std::vector<char> Comment(kst::TKestrel::MaxZipCmntBufSize + 1);
  const int32_t Length = Lister.GetArchiveComment(Comment.data());
  if (Length < 0 || Length > Lister.ZipCmntBufSize()) __builtin_trap();
  return 0;
}

}  // namespace skwtest

#ifndef SKW_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) { return skwtest::RunArchiveList(Data, Size); }
#endif
