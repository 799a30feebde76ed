// The summary line and the outcome words of the import's reports.
#include "textures/ImportObserver.h"

#include <array>

namespace skw {

const char* OutcomeWords(TPictureOutcome Outcome) {
  switch (Outcome) {
    case TPictureOutcome::Replaced: return "replaced";
    case TPictureOutcome::NoTexture: return "no texture";
    case TPictureOutcome::Skipped: return "skipped";
    case TPictureOutcome::Rejected: return "rejected";
    case TPictureOutcome::EndsImport: return "ends the import";
    case TPictureOutcome::NeverReached: return "never reached";
    case TPictureOutcome::StopsRun: return "stops the run";
  }
  return "?";
}

std::string FormatImportSummary(const std::vector<TPictureReport>& Reports) {
  std::array<int, 7> Count{};
  for (const TPictureReport& Report : Reports) ++Count[static_cast<size_t>(Report.Outcome)];
  const auto N = [&Count](TPictureOutcome Outcome) { return std::to_string(Count[static_cast<size_t>(Outcome)]); };
  std::string Line = N(TPictureOutcome::Replaced) + " replaced, " + N(TPictureOutcome::Rejected) + " rejected, " +
                     N(TPictureOutcome::NoTexture) + " without a texture, " + N(TPictureOutcome::Skipped) +
                     " skipped, " + N(TPictureOutcome::NeverReached) + " never reached";
  if (Count[static_cast<size_t>(TPictureOutcome::EndsImport)] > 0) Line += ", 1 ended the import";
  if (Count[static_cast<size_t>(TPictureOutcome::StopsRun)] > 0) Line += ", 1 stopped the run";
  return Line;
}

}  // namespace skw
