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
  explicit Win32MainWindow(WindowEvents& Events) : Events_(Events) {}
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

  WindowEvents& Events_;
  HWND App_ = nullptr;
  HWND Main_ = nullptr;
  HWND Label1_ = nullptr;
  HWND Label2_ = nullptr;
  HWND Progress_ = nullptr;
  HWND Memo_ = nullptr;
  HFONT Font_ = nullptr;
  // The visible part of the logo and where it is drawn.
  WindowPicture Logo_;
  POINT LogoAt_{};
  bool Hourglass_ = false;
  bool Quit_ = false;
};

bool RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSA main{};
    main.lpfnWndProc = DefWindowProcA;
    main.hInstance = GetModuleHandleA(nullptr);
    main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    main.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = kMainClass;
    WNDCLASSA app = main;
    app.lpszClassName = kAppClass;
    return RegisterClassA(&main) != 0 && RegisterClassA(&app) != 0;
  }();
  return registered;
}

Win32MainWindow::~Win32MainWindow() {
  if (Main_ != nullptr) {
    KillTimer(Main_, kTimerId);
    DestroyWindow(Main_);
  }
  if (App_ != nullptr) DestroyWindow(App_);
  if (Font_ != nullptr && Gdi().DeleteObject != nullptr) Gdi().DeleteObject(Font_);
}

HWND Win32MainWindow::Child(const char* Class, const char* Text, DWORD Style, DWORD ExStyle, const RECT& Place) {
  const HWND child = CreateWindowExA(ExStyle, Class, Text, WS_CHILD | Style, Place.left, Place.top,
                                     Place.right - Place.left, Place.bottom - Place.top, Main_, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  if (child != nullptr && Font_ != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font_), FALSE);
  return child;
}

bool Win32MainWindow::Create(const std::string& AppTitle, const std::string& Caption) {
  if (Gdi().InitCommonControlsEx != nullptr) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    Gdi().InitCommonControlsEx(&controls);
  }
  if (!RegisterClasses()) return false;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  App_ = CreateWindowExA(0, kAppClass, AppTitle.c_str(), kAppStyle, GetSystemMetrics(SM_CXSCREEN) / 2,
                         GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr, instance, nullptr);
  RECT outer{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
  Main_ = CreateWindowExA(0, kMainClass, Caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          outer.right - outer.left, outer.bottom - outer.top, App_, nullptr, instance, nullptr);
  if (App_ == nullptr || Main_ == nullptr) return false;
  SetWindowLongPtrA(App_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(Main_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(App_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppProc));
  SetWindowLongPtrA(Main_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainProc));
  if (Gdi().CreateFont != nullptr)
    Font_ = Gdi().CreateFont(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  Label1_ = Child("STATIC", " ", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, kLabel1);
  Label2_ = Child("STATIC", " ", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, kLabel2);
  Progress_ = Child(PROGRESS_CLASSA, "", WS_VISIBLE, 0, kProgress);
  Memo_ = Child("EDIT", "Memo1", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, kMemo);
  return Label1_ != nullptr && Label2_ != nullptr && Memo_ != nullptr;
}

LRESULT CALLBACK Win32MainWindow::MainProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (self == nullptr || Window != self->Main_) return DefWindowProcA(Window, Message, WParam, LParam);
  return self->Handle(Message, WParam, LParam);
}

LRESULT CALLBACK Win32MainWindow::AppProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  // Closing the task-bar entry is closing the window.
  if (self != nullptr && Message == WM_CLOSE) {
    self->Events_.CloseAsked();
    return 0;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

LRESULT Win32MainWindow::Handle(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE) PostMessageA(Main_, kActivatedMessage, 0, 0);
      break;
    case kActivatedMessage:
      Events_.Activated();
      return 0;
    case WM_CLOSE:
      Events_.CloseAsked();
      return 0;
    case WM_TIMER:
      if (WParam == kTimerId) Events_.TimerTicked();
      return 0;
    case WM_SETCURSOR:
      if (Hourglass_) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // The read-only credits box keeps the white of a text box.
      if (reinterpret_cast<HWND>(LParam) == Memo_ && Gdi().SetBkColor != nullptr) {
        Gdi().SetBkColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Main_, Message, WParam, LParam);
}

void Win32MainWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(Main_, &paint);
  if (dc != nullptr && !Logo_.Pixels.empty() && Gdi().SetDIBitsToDevice != nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Logo_.Width;
    info.bmiHeader.biHeight = -Logo_.Height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Gdi().SetDIBitsToDevice(dc, LogoAt_.x, LogoAt_.y, static_cast<DWORD>(Logo_.Width),
                            static_cast<DWORD>(Logo_.Height), 0, 0, 0, static_cast<UINT>(Logo_.Height),
                            Logo_.Pixels.data(), &info, DIB_RGB_COLORS);
  }
  EndPaint(Main_, &paint);
}

void Win32MainWindow::SetLabel(int Line, const std::string& Text) {
  SetWindowTextA(Line == 1 ? Label1_ : Label2_, Text.c_str());
}

void Win32MainWindow::SetProgress(int Min, int Max, int Position) {
  if (Progress_ == nullptr) return;
  SendMessageA(Progress_, PBM_SETRANGE32, static_cast<WPARAM>(Min), static_cast<LPARAM>(Max));
  SendMessageA(Progress_, PBM_SETPOS, static_cast<WPARAM>(Position), 0);
}

void Win32MainWindow::SetMemo(const std::string& Text, bool Visible) {
  SetWindowTextA(Memo_, Text.c_str());
  ShowWindow(Memo_, Visible ? SW_SHOWNA : SW_HIDE);
}

// Keeps the part of the picture that fits the box, centred on both axes.
void Win32MainWindow::SetPicture(const WindowPicture& Picture) {
  const int boxWidth = kImage.right - kImage.left;
  const int boxHeight = kImage.bottom - kImage.top;
  const int width = std::min(Picture.Width, boxWidth);
  const int height = std::min(Picture.Height, boxHeight);
  Logo_ = WindowPicture{};
  if (width > 0 && height > 0 &&
      Picture.Pixels.size() >= static_cast<size_t>(Picture.Width) * static_cast<size_t>(Picture.Height)) {
    const int fromX = (Picture.Width - width) / 2;
    const int fromY = (Picture.Height - height) / 2;
    Logo_.Width = width;
    Logo_.Height = height;
    Logo_.Pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
      const auto row = Picture.Pixels.begin() + static_cast<ptrdiff_t>(fromY + y) * Picture.Width + fromX;
      Logo_.Pixels.insert(Logo_.Pixels.end(), row, row + width);
    }
    LogoAt_ = POINT{kImage.left + (boxWidth - width) / 2, kImage.top + (boxHeight - height) / 2};
  }
  InvalidateRect(Main_, &kImage, TRUE);
}

void Win32MainWindow::SetOuterHeight(int Height) {
  RECT outer;
  GetWindowRect(Main_, &outer);
  SetWindowPos(Main_, nullptr, 0, 0, outer.right - outer.left, Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::SetTimer(bool Enabled, int Interval) {
  if (Enabled)
    ::SetTimer(Main_, kTimerId, static_cast<UINT>(std::max(Interval, 1)), nullptr);
  else
    KillTimer(Main_, kTimerId);
}

void Win32MainWindow::SetHourglass(bool Hourglass) {
  Hourglass_ = Hourglass;
  SetCursor(LoadCursorA(nullptr, Hourglass ? IDC_WAIT : IDC_ARROW));
}

void Win32MainWindow::ShowMessage(const std::string& Caption, const std::string& Text, MessageIcon Icon) {
  ShowSystemMessageBox(Caption, Text, Icon);
}

void Win32MainWindow::Show() {
  RECT outer;
  GetWindowRect(Main_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(Main_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(App_, SW_SHOWNOACTIVATE);
  ShowWindow(Main_, SW_SHOW);
  UpdateWindow(Main_);
  PostMessageA(Main_, kActivatedMessage, 0, 0);
}

void Win32MainWindow::Dispatch(const MSG& Message) {
  TranslateMessage(&Message);
  DispatchMessageA(&Message);
}

void Win32MainWindow::ProcessPending() {
  MSG message;
  while (!Quit_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      Quit_ = true;
      break;
    }
    Dispatch(message);
  }
}

bool Win32MainWindow::HandleNext() {
  MSG message;
  if (Quit_ || GetMessageA(&message, nullptr, 0, 0) <= 0) {
    Quit_ = true;
    return false;
  }
  Dispatch(message);
  return !Quit_;
}

void Win32MainWindow::Quit() {
  if (Quit_) return;
  Quit_ = true;
  PostQuitMessage(0);
}

}  // namespace

std::unique_ptr<MainWindow> CreateMainWindow(const std::string& AppTitle, const std::string& Caption,
                                             WindowEvents& Events) {
  auto window = std::make_unique<Win32MainWindow>(Events);
  if (!window->Create(AppTitle, Caption)) return nullptr;
  return window;
}

}  // namespace platform
