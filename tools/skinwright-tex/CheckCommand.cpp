// check: a dry run of the installer on a pack against the real container, in
// memory, writing nothing. The outcomes come from the installer's own import
// (CheckPack runs it on a copy of the container with an observer); this file
// only chooses the container and prints what the observer saw: one line per
// pack entry in the order the import takes them, the summary line, and whether
// the installer would save the container. The container is the one the
// installer would patch: chosen from the pack's name (-bin or -pal in front of
// its extension) or, for a pack executable, from its trailer, unless
// --container names a file.
#include <iostream>
#include <optional>
#include <string>

#include "installer/ContainerChoice.h"
#include "installer/PackCheck.h"
#include "installer/Trailer.h"
#include "textures/ImportObserver.h"
#include "tools/skinwright-tex/ContainerSource.h"

namespace tex_tool {

namespace {

// Whether the pack is for the true-colour container, as the installer decides.
std::optional<bool> PackIsForBin(const std::string& Pack) {
  if (const std::optional<skw::TTrailer> Trailer = skw::ReadTrailer(Pack))
    return skw::BinContainerFor("-" + Trailer->Extension);
  return skw::BinContainerFor(skw::ArchiveToken(Pack));
}

// What a replacement does: sizes, mip count, change of data size, palette.
std::string ReplacementText(const skw::TPictureReport& R) {
  std::string Text = std::to_string(R.OldWidth) + "x" + std::to_string(R.OldHeight) + " -> " +
                     std::to_string(R.NewWidth) + "x" + std::to_string(R.NewHeight) + ", mip count " +
                     std::to_string(R.MipCount) + ", data " + (R.DataSizeChange >= 0 ? "+" : "") +
                     std::to_string(R.DataSizeChange) + " bytes";
  if (R.PaletteNumber >= 0)
    Text += ", palette " + std::to_string(R.PaletteNumber) + (R.PaletteAppended ? " appended" : " reused");
  return Text;
}

}  // namespace

int RunCheck(const TArgs& Args) {
  const TOptions Options = ParseOptions(Args, {"--container"});
  if (Options.Words.size() != 1) throw UsageError("check needs one pack");
  const std::string Pack = Options.Words[0];
  const std::optional<bool> ForBin = PackIsForBin(Pack);
  std::string Container = Options.Container;
  if (Container.empty()) {
    if (!ForBin)
      throw TToolError(kExitUnreadable,
                       Pack +
                           ": the installer takes the container from the pack's name, which must end "
                           "in -bin or -pal before its extension (desert-bin.zip); or give --container FILE");
    Container = GameContainerPath(*ForBin);
  }

  skw::TPackCheck Check;
  try {
    Check = skw::CheckPack(Pack, Container);
  } catch (const std::exception& Error) {
    throw TToolError(kExitUnreadable, Error.what());
  }
  // A pack whose name names no container is refused by the installer as a
  // whole: none of its pictures would be installed.
  bool AllInstalled = Check.PackBinContainer.has_value();
  if (!Check.PackBinContainer) {
    std::cout << "note: the installer would refuse " << Pack
              << ": its name must end in -bin or -pal before the extension\n";
  } else if (*Check.PackBinContainer != ContainerKindOf(Container)) {
    std::cout << "note: " << Pack << " is for textures." << (*Check.PackBinContainer ? "bin" : "pal")
              << "; the installer would patch that container, not " << Container << "\n";
  }
  for (const skw::TPictureReport& Report : Check.Reports) {
    std::cout << Report.EntryName << ": " << skw::OutcomeWords(Report.Outcome);
    if (!Report.Reason.empty()) std::cout << ": " << Report.Reason;
    if (Report.Outcome == skw::TPictureOutcome::Replaced) std::cout << " (" << ReplacementText(Report) << ")";
    std::cout << "\n";
    if (Report.Outcome != skw::TPictureOutcome::Replaced && Report.Outcome != skw::TPictureOutcome::Skipped)
      AllInstalled = false;
  }
  std::cout << skw::FormatImportSummary(Check.Reports) << "\n";
  if (Check.WouldSave) {
    std::cout << "The installer would save " << Container << ".\n";
  } else {
    std::cout << "The installer would stop and save nothing";
    if (!Check.StopMessage.empty()) std::cout << ": " << Check.StopMessage;
    std::cout << "\n";
  }
  return AllInstalled && Check.WouldSave ? kExitOk : kExitFailed;
}

}  // namespace tex_tool
