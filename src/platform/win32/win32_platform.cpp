#include "platform/win32/win32_platform.h"

#include <mmsystem.h>
#include <objbase.h>

#include <cmath>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/wav_volume.h"
#include "platform/win32/speech_win32.h"

namespace quillvane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillvaneWindow";
// The item list's room: 36 lines with a margin, in 96-dpi pixels.
constexpr int kClientWidth = 420;
constexpr int kClientHeight = 36 * layout::kLineStep + 40;
// How long a synthetic key may take to come back through the input queue.
constexpr double kSyntheticKeyLifetime = 0.5;

bool is_modifier_key(int keycode) {
  switch (keycode) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_LMENU:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
      return true;
    default:
      return false;
  }
}

// The shift mask of the key being handled.
int shift_mask() {
  int bits = mask::None;
  if (GetKeyState(VK_SHIFT) < 0) bits |= mask::Shift;
  if (GetKeyState(VK_CONTROL) < 0) bits |= mask::Ctrl;
  if (GetKeyState(VK_MENU) < 0) bits |= mask::Alt;
  return bits;
}

int CALLBACK note_font_found(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool font_exists(HDC dc, const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(dc, &wanted, note_font_found, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

std::wstring item_font_face() {
  HDC screen = GetDC(nullptr);
  if (!screen) return L"MS Sans Serif";
  std::wstring face;
  for (const wchar_t* candidate : {L"MS Sans Serif", L"Microsoft Sans Serif"}) {
    if (font_exists(screen, candidate)) {
      face = candidate;
      break;
    }
  }
  if (face.empty()) {
    // The GUI font's name ("MS Shell Dlg") is only an alias: ask which face
    // it really draws with.
    HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    wchar_t real[LF_FACESIZE] = {};
    if (GetTextFaceW(screen, LF_FACESIZE, real) > 0) face = real;
    SelectObject(screen, old);
  }
  ReleaseDC(nullptr, screen);
  return face;
}

Win32Platform::Win32Platform(WindowOptions options) : options_(std::move(options)) {
  // The speech objects are COM objects living on this, the window's, thread.
  HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  com_ready_ = SUCCEEDED(result);
}

Win32Platform::~Win32Platform() {
  close();
  if (com_ready_) CoUninitialize();
}

bool Win32Platform::open() {
  if (window_) return true;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  window_class.hbrBackground = nullptr;  // the whole client area is painted
  window_class.lpszClassName = kWindowClass;
  // A second window of the same run finds the class registered already.
  if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return false;

  HDC screen = GetDC(nullptr);
  if (screen) {
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  if (dpi_ <= 0) dpi_ = 96;
  RECT frame{0, 0, scaled(kClientWidth), scaled(kClientHeight)};
  DWORD style = WS_OVERLAPPEDWINDOW;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  window_ = CreateWindowExW(0, kWindowClass, to_wide(caption_).c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
  if (!window_) return false;
  make_font();
  return true;
}

void Win32Platform::show() {
  if (!window_) return;
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  SetFocus(window_);
  UpdateWindow(window_);
}

void Win32Platform::close() {
  sndPlaySoundA(nullptr, 0);
  voice_.reset();
  jaws_.reset();
  if (window_) {
    HWND window = window_;
    window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

void Win32Platform::make_font() {
  // 9.75 points, bold, as the game's window always drew its list.
  LOGFONTW font{};
  font.lfHeight = -MulDiv(975, dpi_, 7200);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  std::wstring face = item_font_face();
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  font_ = CreateFontIndirectW(&font);
}

int Win32Platform::scaled(int units) const { return MulDiv(units, dpi_, 96); }

// ---- time and events ----

double Win32Platform::now() { return monotonic_seconds(); }

std::uint32_t Win32Platform::random_seed() { return seed_or_time_of_day(options_.seed); }

std::optional<Event> Win32Platform::next_event(double deadline) {
  for (;;) {
    pump();
    if (!events_.empty()) {
      const Event event = events_.front();
      events_.pop_front();
      return event;
    }
    const double left = deadline - now();
    if (left <= 0) return std::nullopt;
    // Sleeps in the kernel until a message arrives or the time is up.
    DWORD milliseconds = left > 86400.0 ? INFINITE : static_cast<DWORD>(std::ceil(left * 1000.0));
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Win32Platform::pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      events_.push_back({Event::Kind::close});
      continue;
    }
    // Key-downs make their characters (WM_CHAR) for the letters of the layout.
    if (message.message == WM_KEYDOWN) TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

char32_t Win32Platform::typed_character() {
  MSG message;
  if (!PeekMessageW(&message, window_, WM_CHAR, WM_CHAR, PM_REMOVE)) return 0;
  const auto unit = static_cast<wchar_t>(message.wParam);
  // Letters beyond ASCII in the basic plane; a dead key's accent has none yet.
  if (unit < 0xA1 || (unit >= 0xD800 && unit <= 0xDFFF)) return 0;
  return static_cast<char32_t>(unit);
}

bool Win32Platform::is_synthetic_echo(int keycode) {
  double time = now();
  while (!sent_keys_.empty() && time - sent_keys_.front().at > kSyntheticKeyLifetime)
    sent_keys_.pop_front();
  for (auto key = sent_keys_.begin(); key != sent_keys_.end(); ++key) {
    if (key->keycode == keycode) {
      sent_keys_.erase(key);
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK Win32Platform::window_procedure(HWND window, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->window_ != window) return DefWindowProcW(window, message, wparam, lparam);
  return self->handle(message, wparam, lparam);
}

LRESULT Win32Platform::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      int keycode = static_cast<int>(wparam);
      // Ctrl alone reaches the game (it silences the voice), once per press;
      // Shift and Alt reach it only as the mask of other keys.
      const bool ctrl_press = keycode == VK_CONTROL && !(lparam & (1 << 30));
      if ((ctrl_press || !is_modifier_key(keycode)) && !is_synthetic_echo(keycode)) {
        Event event{Event::Kind::key, keycode, shift_mask()};
        // A key of the layout's own letters (ñ, ä, ß: VK_OEM_ codes, which
        // differ from layout to layout) is the character it types: the
        // WM_CHAR that TranslateMessage put behind it.
        if (keycode >= 0xBA) {
          event.character = typed_character();
          if (event.character != 0) event.keycode = 0;
        }
        events_.push_back(event);
      }
      // Alt+F4 still closes the window; no other Alt key opens the system menu.
      if (message == WM_SYSKEYDOWN && keycode == VK_F4)
        return DefWindowProcW(window_, message, wparam, lparam);
      return 0;
    }
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_CHAR:
    case WM_DEADCHAR:
      return 0;
    case WM_PAINT: {
      // The list as the game last showed it is painted now; the game is
      // asked to show it again (Form_Paint), which repaints only a change.
      events_.push_back({Event::Kind::paint});
      PAINTSTRUCT paint_struct;
      HDC target = BeginPaint(window_, &paint_struct);
      if (target) paint(target);
      EndPaint(window_, &paint_struct);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_CLOSE:
      // Closing ends the program; the front-end's loop destroys the window.
      events_.push_back({Event::Kind::close});
      return 0;
    default:
      return DefWindowProcW(window_, message, wparam, lparam);
  }
}

// ---- window ----

void Win32Platform::set_caption(const std::string& text) {
  caption_ = text;
  if (window_) SetWindowTextW(window_, display_wide(text).c_str());
}

void Win32Platform::show_items(const ItemView& view) {
  std::vector<layout::TextLine> lines = layout::item_lines(view);
  if (lines == shown_) return;
  shown_ = std::move(lines);
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

void Win32Platform::paint(HDC target) {
  RECT client;
  GetClientRect(window_, &client);
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen first, so a repaint never flickers.
  HDC canvas = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
  if (!canvas || !bitmap) {
    if (bitmap) DeleteObject(bitmap);
    if (canvas) DeleteDC(canvas);
    return;
  }
  HGDIOBJ old_bitmap = SelectObject(canvas, bitmap);
  FillRect(canvas, &client, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old_font = font_ ? SelectObject(canvas, font_) : nullptr;
  SetBkMode(canvas, TRANSPARENT);
  for (const layout::TextLine& call : shown_) {
    SetTextColor(canvas, RGB(call.colour.red, call.colour.green, call.colour.blue));
    std::wstring text = display_wide(call.text);
    TextOutW(canvas, scaled(call.x), scaled(call.y), text.c_str(), static_cast<int>(text.size()));
  }
  BitBlt(target, 0, 0, width, height, canvas, 0, 0, SRCCOPY);
  if (old_font) SelectObject(canvas, old_font);
  SelectObject(canvas, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(canvas);
}

// ---- speech and sound ----

Voice* Win32Platform::make_voice() {
  if (!voice_tried_) {
    voice_tried_ = true;
    if (com_ready_) voice_ = SapiVoice::create();
  }
  return voice_.get();
}

ScreenReader* Win32Platform::make_screen_reader() {
  if (!jaws_tried_) {
    jaws_tried_ = true;
    if (com_ready_) jaws_ = JawsReader::create();
  }
  return jaws_.get();
}

void Win32Platform::send_key(int keycode, bool key_up) {
  if (!key_up) sent_keys_.push_back({keycode, now()});
  keybd_event(static_cast<BYTE>(keycode), 0, key_up ? KEYEVENTF_KEYUP : 0, 0);
}

void Win32Platform::play_sound(const std::string& path) {
  // The game's flags 1: play in the background, cutting off the cue before.
  if (cue_volume_ >= 100) {
    sndPlaySoundA(path.c_str(), SND_ASYNC);
    return;
  }
  // The cue playing from memory stops before its bytes are replaced.
  sndPlaySoundA(nullptr, 0);
  playing_cue_.clear();
  if (cue_volume_ <= 0) return;
  auto bytes = files::read_whole(path);
  if (!bytes) return;
  playing_cue_ = wav_at_volume(std::move(*bytes), cue_volume_);
  sndPlaySoundA(playing_cue_.data(), SND_ASYNC | SND_MEMORY);
}

}  // namespace quillvane::win32
