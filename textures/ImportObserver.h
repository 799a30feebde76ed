// What the BMP import decided for each entry of the pack, told to an optional
// observer while the import runs. ImportBitmaps reports every listed entry
// exactly once, in the order it takes them (the sorted listing), from the
// decisions it makes itself: the observer sees the import's own verdicts, so a
// dry run, the console front-end's summary and the tools never apply the
// import's rules a second time. An entry that ends the import is followed by a
// NeverReached report for every later entry; so is an entry whose error stops
// the run (the installer then saves nothing).
#pragma once
#include <string>
#include <vector>

namespace skw {

enum class TPictureOutcome {
  Replaced,      // written into every texture of its name
  NoTexture,     // no index group carries the picture's texture name
  Skipped,       // not ".bmp" (the extension is case-sensitive) or the pack's logo.bmp
  Rejected,      // a check failed: depth vs container kind, size vs the name, ratio vs the texture's
  EndsImport,    // kind token neither "BIN" nor "PAL": no later entry is looked at
  NeverReached,  // behind an entry that ended the import or stopped the run
  StopsRun,      // size text not an integer, not a valid bitmap, an extraction error
};

struct TPictureReport {
  std::string EntryName;  // as listed in the pack
  TPictureOutcome Outcome = TPictureOutcome::Replaced;
  // One line an author can act on: which check failed and with which values,
  // the kind token that ended the import, the error that stopped the run. For
  // Replaced it names the texture (and how many records of that name) and may
  // be empty for nothing else.
  std::string Reason;
  // NoTexture only: the nearest texture names of the index (the same letters in
  // another case first, then by edit distance), at most a few, best first.
  std::vector<std::string> NearestNames;
  // Replaced only (the first record of the name; DataSizeChange over all of them):
  int OldWidth = 0, OldHeight = 0, NewWidth = 0, NewHeight = 0, MipCount = 0;
  long long DataSizeChange = 0;  // bytes, new minus old, all levels
  int PaletteNumber = -1;        // palettised container: the palette number used
  bool PaletteAppended = false;  // palettised container: a new palette was appended (false: reused)
};

class TImportObserver {
 public:
  virtual ~TImportObserver() = default;
  virtual void OnPicture(const TPictureReport& Report) = 0;
};

// Keeps every report in the order given.
class TImportCollector final : public TImportObserver {
 public:
  void OnPicture(const TPictureReport& Report) override { Reports.push_back(Report); }
  std::vector<TPictureReport> Reports;
};

// "N replaced, N rejected, N without a texture, N skipped, N never reached",
// followed by ", 1 ended the import" or ", 1 stopped the run" when an entry did.
std::string FormatImportSummary(const std::vector<TPictureReport>& Reports);

// The outcome as a check lists it: "replaced", "no texture", "skipped",
// "rejected", "ends the import", "never reached", "stops the run".
const char* OutcomeWords(TPictureOutcome Outcome);

}  // namespace skw
