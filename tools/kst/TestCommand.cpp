// "kst test ARCHIVE [-p PASSWORD]... [PATTERN...] [-x PATTERN...]": every
// selected entry is decoded and checked against its CRC without writing
// anything; one line per entry, "NAME: OK" or "NAME: " and the reason (a
// failed entry is also reported on standard error). Exit 1 when any entry failed.
#include <cstdio>

#include "tools/kst/Commands.h"
#include "tools/kst/ExtractSession.h"

namespace kst_tool {

int RunTest(const TArgs& Args) {
  TExtractOptions Options;
  if (const int Code = ParseExtractArgs(Args, Options, Options.Patterns, nullptr)) return Code;
  TExtractSession Session(Options, Options.Patterns);
  Session.OnEntry = [](const std::string& Name, const std::string& Reason) {
    std::printf("%s: %s\n", Name.c_str(), Reason.empty() ? "OK" : Reason.c_str());
    std::fflush(stdout);
  };
  return Session.Run([&] { return Session.UnZip().ExtractToVerify(); });
}

}  // namespace kst_tool
