// Run-time lookup of the gdi32 and comctl32 routines of GdiCalls.h. The DLLs
// stay loaded for the life of the process.
#include "platform/win32/GdiCalls.h"

namespace platform::win32 {

namespace {

// GetProcAddress answers a generic pointer; it is turned into the routine's
// own type through the one function-pointer type every compiler accepts.
template <typename Routine>
void Find(HMODULE Module, const char* Name, Routine& Target) {
  if (Module == nullptr) return;
  const FARPROC Found = GetProcAddress(Module, Name);
  if (Found != nullptr) Target = reinterpret_cast<Routine>(reinterpret_cast<void (*)()>(Found));
}

GdiCalls Load() {
  GdiCalls Calls;
  const HMODULE Gdi = LoadLibraryA("gdi32.dll");
  Find(Gdi, "CreateFontA", Calls.CreateFont);
  Find(Gdi, "DeleteObject", Calls.DeleteObject);
  Find(Gdi, "SetBkColor", Calls.SetBkColor);
  Find(Gdi, "SetDIBitsToDevice", Calls.SetDIBitsToDevice);
  Find(LoadLibraryA("comctl32.dll"), "InitCommonControlsEx", Calls.InitCommonControlsEx);
  return Calls;
}

}  // namespace

const GdiCalls& Gdi() {
  static const GdiCalls Calls = Load();
  return Calls;
}

}  // namespace platform::win32
