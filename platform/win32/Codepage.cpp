// Windows side of the OEM/ANSI conversion: the system's own OemToCharBuffA and
// CharToOemBuffA, which translate byte for byte between the OEM and ANSI code
// pages configured on the machine.
#include "platform/Codepage.h"

#include <windows.h>

// The system headers define OemToAnsi and AnsiToOem as macros for their own
// conversion calls; our routines of the same names must not be renamed by them.
#undef OemToAnsi
#undef AnsiToOem

namespace platform {

namespace {

// Converts in chunks so that lengths always fit the API's DWORD.
template <typename Convert>
std::string ConvertBytes(const std::string& In, Convert Function) {
  std::string Out(In.size(), '\0');
  constexpr size_t kChunk = 1u << 30;
  for (size_t Done = 0; Done < In.size(); Done += kChunk) {
    const size_t Length = In.size() - Done < kChunk ? In.size() - Done : kChunk;
    Function(In.data() + Done, Out.data() + Done, static_cast<DWORD>(Length));
  }
  return Out;
}

}  // namespace

std::string OemToAnsi(const std::string& Oem) { return ConvertBytes(Oem, OemToCharBuffA); }

std::string AnsiToOem(const std::string& Ansi) { return ConvertBytes(Ansi, CharToOemBuffA); }

}  // namespace platform
