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
  std::array<int, 7> count{};
  for (const TPictureReport& report : Reports) ++count[static_cast<size_t>(report.Outcome)];
  const auto n = [&count](TPictureOutcome Outcome) { return std::to_string(count[static_cast<size_t>(Outcome)]); };
  std::string line = n(TPictureOutcome::Replaced) + " replaced, " + n(TPictureOutcome::Rejected) + " rejected, " +
                     n(TPictureOutcome::NoTexture) + " without a texture, " + n(TPictureOutcome::Skipped) +
                     " skipped, " + n(TPictureOutcome::NeverReached) + " never reached";
  if (count[static_cast<size_t>(TPictureOutcome::EndsImport)] > 0) line += ", 1 ended the import";
  if (count[static_cast<size_t>(TPictureOutcome::StopsRun)] > 0) line += ", 1 stopped the run";
  return line;
}

}  // namespace skw
