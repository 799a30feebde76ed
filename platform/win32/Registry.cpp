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
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, KEY_READ | View, &key) != ERROR_SUCCESS)
    return {RegistryStatus::KeyMissing, {}};
  RegistryValue result{RegistryStatus::ValueMissing, {}};
  DWORD type = 0;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, ValueName.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) {
    result.Status = RegistryStatus::WrongType;
  } else if (rc == ERROR_SUCCESS) {
    std::vector<char> data(size + 1, '\0');
    DWORD got = size;
    rc = RegQueryValueExA(key, ValueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (rc == ERROR_SUCCESS) {
      result.Status = RegistryStatus::Found;
      result.Text.assign(data.data(), std::min<size_t>(got, size));
      result.Text = result.Text.substr(0, result.Text.find('\0'));
    }
  }
  RegCloseKey(key);
  return result;
}

}  // namespace

RegistryValue ReadMachineString(const std::string& Key, const std::string& ValueName) {
  const RegistryValue first = ReadInView(Key, ValueName, KEY_WOW64_32KEY);
  if (first.Status != RegistryStatus::KeyMissing && first.Status != RegistryStatus::ValueMissing) return first;
  const RegistryValue second = ReadInView(Key, ValueName, KEY_WOW64_64KEY);
  if (second.Status != RegistryStatus::KeyMissing) return second;
  return first;
}

}  // namespace platform
