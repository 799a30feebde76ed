// "kst cat ARCHIVE NAME [-p PASSWORD]...": the bytes of the entry stored under
// NAME (folders with "/" or "\") go to standard output through a caller's
// stream. Only the entry of exactly that name is written, even where patterns
// would also select other entries. Standard output is put in binary mode so
// the bytes arrive unchanged on every system. Exit 0 only when the entry was
// found, decoded and passed its CRC check.
#include <cstdio>

#include "archive/io/ExtractStream.h"
#include "archive/names/NameConversion.h"
#include "platform/Console.h"
#include "platform/NameBackslash.h"
#include "tools/kst/Commands.h"
#include "tools/kst/ExtractSession.h"
#include "tools/kst/Session.h"

namespace kst_tool {
namespace {

class TStdoutStream : public kst::TOutStream {
 public:
  int64_t Write(const void* Buffer, int64_t Count) override {
    return int64_t(std::fwrite(Buffer, 1, size_t(Count), stdout));
  }
  void SetPosition(int64_t) override { std::fflush(stdout); }
};

}  // namespace

int RunCat(const TArgs& Args) {
  TExtractOptions Options;
  TArgs Names;
  if (const int Code = ParseExtractArgs(Args, Options, Names, nullptr)) return Code;
  if (Names.size() != 1) return UsageError("cat needs one entry name");
  const std::string Name = kst::UnixToDosFilename(Names[0]);

  TExtractSession Session(Options, {Names[0]});
  TToolUnZip& UnZip = Session.UnZip();
  UnZip.OnBegin = [&Name, Previous = UnZip.OnBegin](kst::TUnBase* Sender, const std::string& Shown, int32_t Count,
                                                    bool& Extract) {
    Previous(Sender, Shown, Count, Extract);
    // A "\" that is part of a stored name is typed as "\" too.
    Extract = kst::UnixToDosFilename(platform::WithNameBackslashes(Sender->StoredName)) == Name;
  };
  Session.OnNothing = [&] { PrintError("No entry named " + Names[0], Options.Archive); };
  // The stream is no file of the output folder: a same-named file there is no
  // reason to ask or to skip.
  UnZip.ConfirmOverwrites = false;
  platform::SetStdoutBinary();
  TStdoutStream Out;
  return Session.Run([&] { return UnZip.ExtractToFileStream(Name, &Out); });
}

}  // namespace kst_tool
