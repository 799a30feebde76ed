// Error reporting of the kst tool: every OnError report of the library becomes
// one line on standard error holding the error's fixed text, its extended
// message when there is one, and the file name.
#include "tools/kst/Session.h"

#include <cstdio>
#include <exception>

#include "archive/core/Err_msgs.h"
#include "tools/kst/Paths.h"
#include "platform/FileSystem.h"

namespace kst_tool {

void PrintError(const std::string& Text, const std::string& FileName) {
  std::string Line = "kst: " + Text;
  if (!FileName.empty()) Line += ": " + FileName;
  std::fprintf(stderr, "%s\n", Line.c_str());
  std::fflush(stderr);
}

TSession::TSession(const std::string& Archive) : FPack(Archive) {
  const TPathForms Paths(Archive, "", "", FPack.Path());
  FLister.OnError = [this, Paths](kst::TZipCommon*, std::string FileName, std::string ExtendedMsg, std::string,
                                  int32_t ECode) {
    std::string Text = kst::ErrorText(ECode);
    if (!ExtendedMsg.empty()) Text += " (" + ExtendedMsg + ")";
    // An archive that does not open is reported once, after identification.
    if (FIdentifying && ECode == kst::ErrOpenFile) {
      FHeldOpenError = Text;
      return;
    }
    PrintError(Text, Paths.Shown(FileName));
  };
  try {
    FIdentifying = true;
    FLister.SetArchiveFile(FPack.Path());
    FIdentifying = false;
    FIdentified = true;
  } catch (const std::exception& Error) {
    FIdentifying = false;
    PrintError(Error.what(), Archive);
  }
  if (FHeldOpenError.empty()) return;
  if (FIdentified && FLister.ArcType() == kst::atFileOpenErr) {
    // Going on would report the same failure again: one line says it, the
    // plainer one when there is no such file.
    const bool Missing = platform::GetAttributes(FPack.Path()) == platform::kInvalidAttributes;
    PrintError(Missing ? kst::ErrorText(kst::ErrFileNotFound) : FHeldOpenError, Archive);
    FIdentified = false;
  } else {
    PrintError(FHeldOpenError, Archive);
  }
}

}  // namespace kst_tool
