// Windows: UTF-8 to UTF-16 (strictly, so invalid input is noticed), then to the
// ANSI code page with "?" for characters it lacks.
#include "platform/Utf8Names.h"

#include <windows.h>

#include <vector>

namespace platform {

std::string Utf8ToAnsi(const std::string& Utf8) {
  if (Utf8.empty()) return Utf8;
  const int Source = static_cast<int>(Utf8.size());
  const int Wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Source, nullptr, 0);
  if (Wide <= 0) return Utf8;
  std::vector<wchar_t> Buffer(static_cast<size_t>(Wide));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Utf8.data(), Source, Buffer.data(), Wide);
  const int Narrow = WideCharToMultiByte(CP_ACP, 0, Buffer.data(), Wide, nullptr, 0, nullptr, nullptr);
  if (Narrow <= 0) return Utf8;
  std::string Ansi(static_cast<size_t>(Narrow), '\0');
  WideCharToMultiByte(CP_ACP, 0, Buffer.data(), Wide, Ansi.data(), Narrow, nullptr, nullptr);
  return Ansi;
}

}  // namespace platform
