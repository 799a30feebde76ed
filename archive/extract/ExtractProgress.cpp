// Progress of an extraction run: per entry (bytes written of its size) and per
// run (bytes produced of the selected entries' total). Each report first lets
// the window process pending messages, so a front-end repaints during long runs.
#include "archive/extract/KstUnBase.h"
#include "archive/core/MessagePump.h"
#include "archive/core/Progress.h"

namespace kst {

void TUnBase::AdjustProgress(const TInflateRec& Rec) {
  BytesRemaining -= Min(BytesRemaining, Rec.UnpackedSize);
  doBranchProgress(Rec.UnpackedSize, Rec.UnpackedSize, TotalUnpackedSize);
}

void TUnBase::doBranchProgress(uint32_t Done, uint32_t Total, uint32_t RunTotal) {
  const auto ByFile = static_cast<uint8_t>(CalcProgress(Done, Total));
  const auto ByArchive = static_cast<uint8_t>(CalcProgress(int64_t(RunTotal) - BytesRemaining, RunTotal));
  if (ProgressMethod) ProgressMethod(ByFile, ByArchive);
}

void TUnBase::RetProgress(uint8_t ProgressByFile, uint8_t ProgressByArchive) {
  ProcessMessages();
  if (OnProgress) OnProgress(this, ProgressByFile, ProgressByArchive);
}

}  // namespace kst
