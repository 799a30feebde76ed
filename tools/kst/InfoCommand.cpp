// "kst info ARCHIVE": what identification found (kind, where the data starts,
// the ZIP header state) and, when the archive can be walked, its number of
// entries (directory entries not counted) and its archive comment.
#include <cstdio>
#include <vector>

#include "archive/list/Kstkestrel.h"
#include "tools/kst/Commands.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

void PrintComment(kst::TKestrel& Lister) {
  std::vector<char> Buffer(size_t(Lister.ZipCmntBufSize()));
  const int32_t Length = Lister.GetArchiveComment(Buffer.data());
  if (Length <= 0) {
    std::printf("Comment:    (none)\n");
    return;
  }
  std::printf("Comment:    %d bytes\n", Length);
  std::fwrite(Buffer.data(), 1, size_t(Length), stdout);
  std::printf("\n");
}

}  // namespace

int RunInfo(const TArgs& Args) {
  if (Args.size() != 1) return UsageError("info takes exactly one archive");
  TSession Session(Args[0]);
  if (!Session.Identified()) return kExitUnreadable;
  kst::TKestrel& Lister = Session.Lister();
  std::printf("Archive:    %s\n", Args[0].c_str());
  std::printf("DataOffset: %u\n", unsigned(Lister.DataOffset));
  std::printf("HeadFlag:   0x%02x\n", unsigned(Lister.HeadFlag));
  std::printf("Type:       %s\n", Lister.ArcTypeName().c_str());
  if (!Session.PackKind().empty()) std::printf("Container:  %s\n", Session.PackKind().c_str());
  std::fflush(stdout);

  Lister.OnRead = [](kst::TKestrel*, int32_t, int32_t) {};
  if (!Lister.Activate()) return kExitUnreadable;
  std::printf("Entries:    %d\n", Lister.NumFiles);
  PrintComment(Lister);
  return kExitOk;
}

}  // namespace kst_tool
