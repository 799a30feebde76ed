// Windows side of the registry lookup: HKEY_LOCAL_MACHINE opened for reading
// only (a standard user may not open it for writing), first in the 32-bit view
// where a 32-bit game installer records itself, then in the 64-bit view. String
// and expandable-string values are taken as stored, without expansion.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Registry.h"

namespace platform {

namespace {

// The value in one view of the registry.
RegistryValue ReadInView(const std::string& Key, const std::string& ValueName, REGSAM View) {
  HKEY Opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, KEY_READ | View, &Opened) != ERROR_SUCCESS)
    return {RegistryStatus::KeyMissing, {}};
  RegistryValue Result{RegistryStatus::ValueMissing, {}};
  DWORD Type = 0;
  DWORD Size = 0;
  LONG Rc = RegQueryValueExA(Opened, ValueName.c_str(), nullptr, &Type, nullptr, &Size);
  if (Rc == ERROR_SUCCESS && Type != REG_SZ && Type != REG_EXPAND_SZ) {
    Result.Status = RegistryStatus::WrongType;
  } else if (Rc == ERROR_SUCCESS) {
    std::vector<char> Data(Size + 1, '\0');
    DWORD Got = Size;
    Rc = RegQueryValueExA(Opened, ValueName.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &Got);
    if (Rc == ERROR_SUCCESS) {
      Result.Status = RegistryStatus::Found;
      Result.Text.assign(Data.data(), std::min<size_t>(Got, Size));
      Result.Text = Result.Text.substr(0, Result.Text.find('\0'));
    }
  }
  RegCloseKey(Opened);
  return Result;
}

}  // namespace

RegistryValue ReadMachineString(const std::string& Key, const std::string& ValueName) {
  const RegistryValue First = ReadInView(Key, ValueName, KEY_WOW64_32KEY);
  if (First.Status != RegistryStatus::KeyMissing && First.Status != RegistryStatus::ValueMissing) return First;
  const RegistryValue Second = ReadInView(Key, ValueName, KEY_WOW64_64KEY);
  if (Second.Status != RegistryStatus::KeyMissing) return Second;
  return First;
}

}  // namespace platform
