// Error reporting of the kst tool: every OnError report of the library becomes
// one line on standard error holding the error's fixed text, its extended
// message when there is one, and the file name.
#include "tools/kst/Session.h"

#include <cstdio>
#include <exception>

#include "archive/core/Err_msgs.h"
#include "tools/kst/Paths.h"

namespace kst_tool {

void PrintError(const std::string& Text, const std::string& FileName) {
  std::string Line = "kst: " + Text;
  if (!FileName.empty()) Line += ": " + FileName;
  std::fprintf(stderr, "%s\n", Line.c_str());
  std::fflush(stderr);
}

TSession::TSession(const std::string& Archive) : FPack(Archive) {
  FLister.OnError = [this, Paths = TPathForms(Archive, "", "", FPack.Path())](
                        kst::TZipCommon*, std::string FileName, std::string ExtendedMsg, std::string, int32_t ECode) {
    ++FReports;
    std::string Text = kst::ErrorText(ECode);
    if (!ExtendedMsg.empty()) Text += " (" + ExtendedMsg + ")";
    PrintError(Text, Paths.Shown(FileName));
  };
  try {
    FLister.SetArchiveFile(FPack.Path());
    // An archive that did not open has been reported already; going on would
    // only report the same failure again.
    FIdentified = !(FLister.ArcType() == kst::atFileOpenErr && FReports > 0);
  } catch (const std::exception& Error) {
    PrintError(Error.what(), Archive);
  }
}

}  // namespace kst_tool
