// The installer's main window on Windows, in plain Win32. A hidden-size
// application window carries the application title on the task bar and owns
// the main window, a fixed single-border window with only the system menu whose
// client area starts at 292 x 153: two static status lines, a common-controls
// progress bar, a read-only multi-line edit for the credits (hidden until
// shown, white like a text box) and the logo painted centred in its 65 x 65
// box. Closing, the timer and activation are handed to the installer's events;
// the window never destroys itself, so a close during the run only marks the
// request and the run carries on to its end.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "platform/Window.h"
#include "platform/win32/GdiCalls.h"

namespace platform {

namespace {

using win32::Gdi;

constexpr int kClientWidth = 292;
constexpr int kClientHeight = 153;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kAppStyle = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;

// Positions and sizes in the client area.
constexpr RECT kLabel1{16, 10, 16 + 270, 10 + 13};
constexpr RECT kLabel2{16, 30, 16 + 270, 30 + 13};
constexpr RECT kProgress{12, 56, 12 + 268, 56 + 12};
constexpr RECT kImage{10, 80, 10 + 65, 80 + 65};
constexpr RECT kMemo{80, 80, 80 + 202, 80 + 65};

constexpr UINT_PTR kTimerId = 1;
// Posted after Show and after every activation, so the installer's handler
// runs from the loop and not inside the system's activation call.
constexpr UINT kActivatedMessage = WM_APP + 1;

const char* const kMainClass = "SkwMainWindow";
const char* const kAppClass = "SkwApplication";

class Win32MainWindow final : public MainWindow {
 public:
  explicit Win32MainWindow(WindowEvents& Events) : FEvents(Events) {}
  ~Win32MainWindow() override;

  bool Create(const std::string& AppTitle, const std::string& Caption);

  void SetLabel(int Line, const std::string& Text) override;
  void SetProgress(int Min, int Max, int Position) override;
  void SetMemo(const std::string& Text, bool Visible) override;
  void SetPicture(const WindowPicture& Picture) override;
  void SetOuterHeight(int Height) override;
  void SetTimer(bool Enabled, int Interval) override;
  void SetHourglass(bool Hourglass) override;
  void ShowMessage(const std::string& Caption, const std::string& Text, MessageIcon Icon) override;
  void Show() override;
  void ProcessPending() override;
  bool HandleNext() override;
  void Quit() override;

 private:
  static LRESULT CALLBACK MainProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  static LRESULT CALLBACK AppProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  LRESULT Handle(UINT Message, WPARAM WParam, LPARAM LParam);
  HWND Child(const char* Class, const char* Text, DWORD Style, DWORD ExStyle, const RECT& Place);
  void Paint();
  void Dispatch(const MSG& Message);

  WindowEvents& FEvents;
  HWND FApp = nullptr;
  HWND FMain = nullptr;
  HWND FLabel1 = nullptr;
  HWND FLabel2 = nullptr;
  HWND FProgress = nullptr;
  HWND FMemo = nullptr;
  HFONT FFont = nullptr;
  // The visible part of the logo and where it is drawn.
  WindowPicture FLogo;
  POINT FLogoAt{};
  bool FHourglass = false;
  bool FQuit = false;
};

bool RegisterClasses() {
  static const bool Registered = [] {
    WNDCLASSA Main{};
    Main.lpfnWndProc = DefWindowProcA;
    Main.hInstance = GetModuleHandleA(nullptr);
    Main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Main.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    Main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Main.lpszClassName = kMainClass;
    WNDCLASSA App = Main;
    App.lpszClassName = kAppClass;
    return RegisterClassA(&Main) != 0 && RegisterClassA(&App) != 0;
  }();
  return Registered;
}

Win32MainWindow::~Win32MainWindow() {
  if (FMain != nullptr) {
    KillTimer(FMain, kTimerId);
    DestroyWindow(FMain);
  }
  if (FApp != nullptr) DestroyWindow(FApp);
  if (FFont != nullptr && Gdi().DeleteObject != nullptr) Gdi().DeleteObject(FFont);
}

HWND Win32MainWindow::Child(const char* Class, const char* Text, DWORD Style, DWORD ExStyle, const RECT& Place) {
  const HWND Child =
      CreateWindowExA(ExStyle, Class, Text, WS_CHILD | Style, Place.left, Place.top, Place.right - Place.left,
                      Place.bottom - Place.top, FMain, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (Child != nullptr && FFont != nullptr) SendMessageA(Child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
  return Child;
}

bool Win32MainWindow::Create(const std::string& AppTitle, const std::string& Caption) {
  if (Gdi().InitCommonControlsEx != nullptr) {
    INITCOMMONCONTROLSEX Controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    Gdi().InitCommonControlsEx(&Controls);
  }
  if (!RegisterClasses()) return false;
  const HINSTANCE Instance = GetModuleHandleA(nullptr);
  FApp = CreateWindowExA(0, kAppClass, AppTitle.c_str(), kAppStyle, GetSystemMetrics(SM_CXSCREEN) / 2,
                         GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, Instance, nullptr);
  RECT Outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&Outer, kStyle, FALSE, 0);
  FMain = CreateWindowExA(0, kMainClass, Caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          Outer.right - Outer.left, Outer.bottom - Outer.top, FApp, nullptr, Instance, nullptr);
  if (FApp == nullptr || FMain == nullptr) return false;
  SetWindowLongPtrA(FApp, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(FMain, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(FApp, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppProc));
  SetWindowLongPtrA(FMain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainProc));
  if (Gdi().CreateFont != nullptr)
    FFont = Gdi().CreateFont(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  FLabel1 = Child("STATIC", " ", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, kLabel1);
  FLabel2 = Child("STATIC", " ", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, kLabel2);
  FProgress = Child(PROGRESS_CLASSA, "", WS_VISIBLE, 0, kProgress);
  FMemo = Child("EDIT", "Memo1", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kMemo);
  return FLabel1 != nullptr && FLabel2 != nullptr && FMemo != nullptr;
}

LRESULT CALLBACK Win32MainWindow::MainProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* Self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Self == nullptr || Window != Self->FMain) return DefWindowProcA(Window, Message, WParam, LParam);
  return Self->Handle(Message, WParam, LParam);
}

LRESULT CALLBACK Win32MainWindow::AppProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* Self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  // Closing the task-bar entry is closing the window.
  if (Self != nullptr && Message == WM_CLOSE) {
    Self->FEvents.CloseAsked();
    return 0;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

LRESULT Win32MainWindow::Handle(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE) PostMessageA(FMain, kActivatedMessage, 0, 0);
      break;
    case kActivatedMessage: FEvents.Activated(); return 0;
    case WM_CLOSE: FEvents.CloseAsked(); return 0;
    case WM_TIMER:
      if (WParam == kTimerId) FEvents.TimerTicked();
      return 0;
    case WM_SETCURSOR:
      if (FHourglass) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The read-only credits box keeps the white of a text box.
      if (reinterpret_cast<HWND>(LParam) == FMemo && Gdi().SetBkColor != nullptr) {
        Gdi().SetBkColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_PAINT: Paint(); return 0;
    default: break;
  }
  return DefWindowProcA(FMain, Message, WParam, LParam);
}

void Win32MainWindow::Paint() {
  PAINTSTRUCT Paint;
  const HDC Dc = BeginPaint(FMain, &Paint);
  if (Dc != nullptr && !FLogo.Pixels.empty() && Gdi().SetDIBitsToDevice != nullptr) {
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = FLogo.Width;
    Info.bmiHeader.biHeight = -FLogo.Height;  // top row first
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    Gdi().SetDIBitsToDevice(Dc, FLogoAt.x, FLogoAt.y, static_cast<DWORD>(FLogo.Width), static_cast<DWORD>(FLogo.Height),
                            0, 0, 0, static_cast<UINT>(FLogo.Height), FLogo.Pixels.data(), &Info, DIB_RGB_COLORS);
  }
  EndPaint(FMain, &Paint);
}

void Win32MainWindow::SetLabel(int Line, const std::string& Text) {
  SetWindowTextA(Line == 1 ? FLabel1 : FLabel2, Text.c_str());
}

void Win32MainWindow::SetProgress(int Min, int Max, int Position) {
  if (FProgress == nullptr) return;
  SendMessageA(FProgress, PBM_SETRANGE32, static_cast<WPARAM>(Min), static_cast<LPARAM>(Max));
  SendMessageA(FProgress, PBM_SETPOS, static_cast<WPARAM>(Position), 0);
}

void Win32MainWindow::SetMemo(const std::string& Text, bool Visible) {
  SetWindowTextA(FMemo, Text.c_str());
  ShowWindow(FMemo, Visible ? SW_SHOWNA : SW_HIDE);
}

// Keeps the part of the picture that fits the box, centred on both axes.
void Win32MainWindow::SetPicture(const WindowPicture& Picture) {
  const int BoxWidth = kImage.right - kImage.left;
  const int BoxHeight = kImage.bottom - kImage.top;
  const int Width = std::min(Picture.Width, BoxWidth);
  const int Height = std::min(Picture.Height, BoxHeight);
  FLogo = WindowPicture{};
  if (Width > 0 && Height > 0 &&
      Picture.Pixels.size() >= static_cast<size_t>(Picture.Width) * static_cast<size_t>(Picture.Height)) {
    const int FromX = (Picture.Width - Width) / 2;
    const int FromY = (Picture.Height - Height) / 2;
    FLogo.Width = Width;
    FLogo.Height = Height;
    FLogo.Pixels.reserve(static_cast<size_t>(Width) * static_cast<size_t>(Height));
    for (int Y = 0; Y < Height; ++Y) {
      const auto Row = Picture.Pixels.begin() + static_cast<ptrdiff_t>(FromY + Y) * Picture.Width + FromX;
      FLogo.Pixels.insert(FLogo.Pixels.end(), Row, Row + Width);
    }
    FLogoAt = POINT{kImage.left + (BoxWidth - Width) / 2, kImage.top + (BoxHeight - Height) / 2};
  }
  InvalidateRect(FMain, &kImage, TRUE);
}

void Win32MainWindow::SetOuterHeight(int Height) {
  RECT Outer;
  GetWindowRect(FMain, &Outer);
  SetWindowPos(FMain, nullptr, 0, 0, Outer.right - Outer.left, Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::SetTimer(bool Enabled, int Interval) {
  if (Enabled)
    ::SetTimer(FMain, kTimerId, static_cast<UINT>(std::max(Interval, 1)), nullptr);
  else
    KillTimer(FMain, kTimerId);
}

void Win32MainWindow::SetHourglass(bool Hourglass) {
  FHourglass = Hourglass;
  SetCursor(LoadCursorA(nullptr, Hourglass ? IDC_WAIT : IDC_ARROW));
}

void Win32MainWindow::ShowMessage(const std::string& Caption, const std::string& Text, MessageIcon Icon) {
  ShowSystemMessageBox(Caption, Text, Icon);
}

void Win32MainWindow::Show() {
  RECT Outer;
  GetWindowRect(FMain, &Outer);
  const int Width = Outer.right - Outer.left;
  const int Height = Outer.bottom - Outer.top;
  SetWindowPos(FMain, nullptr, (GetSystemMetrics(SM_CXSCREEN) - Width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - Height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(FApp, SW_SHOWNOACTIVATE);
  ShowWindow(FMain, SW_SHOW);
  UpdateWindow(FMain);
  PostMessageA(FMain, kActivatedMessage, 0, 0);
}

void Win32MainWindow::Dispatch(const MSG& Message) {
  TranslateMessage(&Message);
  DispatchMessageA(&Message);
}

void Win32MainWindow::ProcessPending() {
  MSG Message;
  while (!FQuit && PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
    if (Message.message == WM_QUIT) {
      FQuit = true;
      break;
    }
    Dispatch(Message);
  }
}

bool Win32MainWindow::HandleNext() {
  MSG Message;
  if (FQuit || GetMessageA(&Message, nullptr, 0, 0) <= 0) {
    FQuit = true;
    return false;
  }
  Dispatch(Message);
  return !FQuit;
}

void Win32MainWindow::Quit() {
  if (FQuit) return;
  FQuit = true;
  PostQuitMessage(0);
}

}  // namespace

std::unique_ptr<MainWindow> CreateMainWindow(const std::string& AppTitle, const std::string& Caption,
                                             WindowEvents& Events) {
  auto Window = std::make_unique<Win32MainWindow>(Events);
  if (!Window->Create(AppTitle, Caption)) return nullptr;
  return Window;
}

}  // namespace platform
