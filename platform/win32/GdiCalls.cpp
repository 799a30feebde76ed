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
  const FARPROC found = GetProcAddress(Module, Name);
  if (found != nullptr) Target = reinterpret_cast<Routine>(reinterpret_cast<void (*)()>(found));
}

GdiCalls Load() {
  GdiCalls calls;
  const HMODULE gdi = LoadLibraryA("gdi32.dll");
  Find(gdi, "CreateFontA", calls.CreateFont);
  Find(gdi, "DeleteObject", calls.DeleteObject);
  Find(gdi, "SetBkColor", calls.SetBkColor);
  Find(gdi, "SetDIBitsToDevice", calls.SetDIBitsToDevice);
  Find(LoadLibraryA("comctl32.dll"), "InitCommonControlsEx", calls.InitCommonControlsEx);
  return calls;
}

}  // namespace

const GdiCalls& Gdi() {
  static const GdiCalls calls = Load();
  return calls;
}

}  // namespace platform::win32
