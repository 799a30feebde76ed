// The echoed line of the console services: the prompt on standard error, the
// answer from standard input.
#include "platform/ConsoleLine.h"

#include "platform/Console.h"

namespace platform {

std::optional<std::string> ReadLine(const std::string& Prompt) {
  std::fputs(Prompt.c_str(), stderr);
  std::fflush(stderr);
  return LineOf([] { return std::fgetc(stdin); });
}

}  // namespace platform
