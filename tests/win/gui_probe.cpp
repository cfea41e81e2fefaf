// gui_probe.exe: looks at qrticket-gui.exe's windows from a second program in the same Wine
// prefix and drives them, as an operator and as other programs do: window messages, and real
// key and mouse input (SendInput). Reads one command a line on standard input and answers
// with lines, the last "ok" or "error: ..." (tests/wine/wine_gui_test.cpp is the other side).
// Controls are found by the names the window tags them with (the layout table's names).
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr wchar_t kNameProperty[] = L"qrticket.control";

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      nullptr, nullptr);
  return text;
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

// One field of an answer line: no line breaks and no '|' inside.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '|') out += "\\p";
    else out += c;
  }
  return out;
}

// "\n" in a command's text is Return; "\\" a backslash.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' ? '\n' : next == 's' ? ' ' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[70000];
  const LRESULT length =
      SendMessageW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0], reinterpret_cast<LPARAM>(buffer));
  return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

std::string NameOf(HWND window) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropW(window, kNameProperty)));
  if (atom == 0) return {};
  wchar_t name[64] = {};
  const UINT length = GlobalGetAtomNameW(atom, name, 64);
  return Utf8(std::wstring_view(name, length));
}

// The visible top-level window named `name`; null for none.
HWND TopLevel(const std::string& name) {
  struct Search {
    std::string name;
    HWND found = nullptr;
  } search{name};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (IsWindowVisible(window) && NameOf(window) == s.name) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The visible top-level window titled `title`; null for none.
HWND Titled(const std::string& title) {
  struct Search {
    std::wstring title;
    HWND found = nullptr;
  } search{Wide(title)};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (IsWindowVisible(window) && TextOf(window) == s.title) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> NamedChildren(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        if (!NameOf(child).empty()) reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND Child(HWND window, const std::string& name) {
  for (HWND child : NamedChildren(window))
    if (NameOf(child) == name) return child;
  return nullptr;
}

// The main window, or the splash, or a control of either, by name.
HWND Find(const std::string& name) {
  if (HWND top = TopLevel(name)) return top;
  for (const char* window : {"TicketPreview", "Form1", "frmSplash"}) {
    if (HWND top = TopLevel(window)) {
      if (HWND child = Child(top, name)) return child;
    }
  }
  return nullptr;
}

std::string RectText(const RECT& r) {
  std::ostringstream text;
  text << r.left << ',' << r.top << ',' << (r.right - r.left) << ',' << (r.bottom - r.top);
  return text.str();
}

void Say(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

bool Fail(const std::string& why) {
  Say("error: " + why);
  return false;
}

// Keys and clicks as the operator makes them.
void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (key == VK_APPS || key == VK_RIGHT || key == VK_LEFT || key == VK_UP || key == VK_DOWN ||
      key == VK_HOME || key == VK_END || key == VK_DELETE || key == VK_NEXT || key == VK_PRIOR)
    input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &input, sizeof input);
}

void PressKey(WORD key) {
  SendKey(key, false);
  SendKey(key, true);
}

void TypeCharacter(wchar_t c) {
  INPUT input[2] = {};
  for (int i = 0; i < 2; ++i) {
    input[i].type = INPUT_KEYBOARD;
    input[i].ki.wScan = static_cast<WORD>(c);
    input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
  }
  SendInput(2, input, sizeof input[0]);
}

void Settle() { std::this_thread::sleep_for(30ms); }

// A key name as the commands give it: "Tab", "S-Tab" (with Shift), "C-a", "A-F4".
bool PressNamed(const std::string& token) {
  std::string key = token;
  std::vector<WORD> held;
  while (key.size() > 2 && key[1] == '-') {
    held.push_back(key[0] == 'S' ? VK_SHIFT : key[0] == 'C' ? VK_CONTROL : VK_MENU);
    key = key.substr(2);
  }
  static const std::pair<const char*, WORD> kKeys[] = {
      {"Tab", VK_TAB},   {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Space", VK_SPACE},
      {"Back", VK_BACK}, {"Down", VK_DOWN},     {"Up", VK_UP},         {"Home", VK_HOME},
      {"End", VK_END},   {"F4", VK_F4},         {"F10", VK_F10},       {"Apps", VK_APPS},
      {"Delete", VK_DELETE}, {"Next", VK_NEXT}, {"Prior", VK_PRIOR}};
  WORD code = 0;
  for (const auto& [name, vk] : kKeys)
    if (key == name) code = vk;
  if (code == 0 && key.size() == 1) code = static_cast<WORD>(std::toupper(key[0]));
  if (code == 0) return false;
  for (WORD h : held) SendKey(h, false);
  PressKey(code);
  for (auto it = held.rbegin(); it != held.rend(); ++it) SendKey(*it, true);
  return true;
}

void ClickAt(POINT at, bool right) {
  SetCursorPos(at.x, at.y);
  Settle();
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof input[0]);
}

// Where the operator clicks a control: its middle; an editable list in its text field.
POINT ClickPoint(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (ClassOf(control) == L"ComboBox") at.x = r.left + (r.right - r.left) / 3;
  return at;
}

// The window the GUI thread of `window` has its keyboard focus in.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string NamedAncestor(HWND window) {
  for (HWND w = window; w != nullptr; w = GetParent(w)) {
    const std::string name = NameOf(w);
    if (!name.empty()) return name;
  }
  return "none";
}

// A message box of the GUI (a dialog owned by its window); null for none.
HWND MessageBoxWindow() {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        if (IsWindowVisible(window) && ClassOf(window) == L"#32770") {
          reinterpret_cast<Search*>(data)->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ControlLine(HWND form, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  const std::wstring type = ClassOf(control);
  std::string line = NameOf(control) + "|" + Utf8(type) + "|" + RectText(r) + "|" +
                     (IsWindowVisible(control) ? "1" : "0") + "|" +
                     (IsWindowEnabled(control) ? "1" : "0") + "|" + Escaped(Utf8(TextOf(control)));
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  std::ostringstream extra;
  extra << "|style=" << std::hex << style << std::dec;
  if (type == L"ComboBox") {
    const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
    extra << "|sel=" << SendMessageW(control, CB_GETCURSEL, 0, 0) << "|entries=";
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t entry[512] = {};
      SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
      extra << (i ? ";" : "") << Escaped(Utf8(entry));
    }
  } else if (type == L"Button" && (style & 0x0F) == BS_AUTOCHECKBOX) {
    extra << "|checked=" << SendMessageW(control, BM_GETCHECK, 0, 0);
  }
  return line + extra.str();
}

std::string WindowLine(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  HWND owner = GetWindow(window, GW_OWNER);
  std::ostringstream info;
  info << "title=" << Escaped(Utf8(TextOf(window))) << "|outer=" << RectText(outer)
       << "|client=" << RectText(client) << std::hex << "|style=" << GetWindowLongW(window, GWL_STYLE)
       << "|exstyle=" << GetWindowLongW(window, GWL_EXSTYLE) << std::dec
       << "|owner=" << (owner != nullptr) << "|ownerVisible=" << (owner && IsWindowVisible(owner))
       << "|dpi=" << GetDpiForWindow(window) << "|enabled=" << (IsWindowEnabled(window) != 0);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  info << "|workArea=" << RectText(monitor.rcWork);
  return info.str();
}

bool Window(const std::string& name) {
  HWND window = TopLevel(name);
  if (window == nullptr) return Fail("no window " + name);
  Say(WindowLine(window));
  return true;
}

// A pixel as the screen shows it, as "r,g,b".
std::string ScreenPixel(POINT at) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return std::to_string(GetRValue(colour)) + "," + std::to_string(GetGValue(colour)) + "," +
         std::to_string(GetBValue(colour));
}

// Set by "nosync COMMAND": the input goes without waiting for the window to take it. One that
// looks at its input only now and then (between the tries of a speed search) may lose the
// marker SyncInput sends, and take a second one only a second later.
bool noSync = false;

// Returns once the main window's thread has taken every key and click sent before (and run
// what they started, a print job included, or opened a message box): a marker key goes after
// them, and the thread's key state, shared with it here, shows when it was read. A window
// that goes away meanwhile (closed by the click) has taken them too.
bool SyncInput() {
  if (noSync) return true;
  HWND form = TopLevel("Form1");
  if (form == nullptr) return true;
  const DWORD thread = GetWindowThreadProcessId(form, nullptr);
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // a queue of this thread's own
  if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE)) return Fail("cannot attach");
  // Input sent while no window is active (a message box just closed, its owner not yet
  // active again) goes nowhere: a marker not seen within a second is sent again.
  bool seen = true;
  for (bool down : {true, false}) {
    const auto until = Clock::now() + 20s;
    auto resend = Clock::now();
    while (((GetKeyState(VK_F24) & 0x8000) != 0) != down && IsWindow(form)) {
      if (Clock::now() > until) {
        seen = false;
        break;
      }
      if (Clock::now() >= resend) {
        SendKey(VK_F24, !down);
        resend = Clock::now() + 1s;
      }
      std::this_thread::sleep_for(2ms);
    }
  }
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  if (!seen) return Fail("the window takes no input");
  return true;
}

// How start-up goes: when the splash and the main window are on screen, while clicks and keys
// go to the splash. After that line, the splash as it was on screen: its window line with the
// pixel at the top left of its client area ("corner=r,g,b"), then its controls.
bool Watch(int boundMs) {
  const auto start = Clock::now();
  const auto since = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  };
  long long splashFirst = -1, splashLast = -1, formFirst = -1, overlap = 0, pokes = 0,
            splashAgain = 0;
  std::vector<std::string> splashLines;
  auto nextPoke = Clock::now();
  while (since() < boundMs) {
    HWND splash = TopLevel("frmSplash");
    HWND form = TopLevel("Form1");
    const long long now = since();
    if (splash != nullptr) {
      if (splashFirst < 0) splashFirst = now;
      if (formFirst >= 0) splashAgain = 1;
      splashLast = now;
      if (form != nullptr) overlap = 1;
      // Read again until the corner is white: on a loaded machine the first paint can come
      // later than 200 ms, and a splash that never turns white still shows in its last reading.
      const bool white = !splashLines.empty() &&
                         splashLines.front().find("|corner=255,255,255") != std::string::npos;
      if (now - splashFirst >= 200 && !white) {
        POINT corner{2, 2};
        ClientToScreen(splash, &corner);
        splashLines.clear();
        splashLines.push_back(WindowLine(splash) + "|corner=" + ScreenPixel(corner));
        for (HWND child : NamedChildren(splash)) splashLines.push_back(ControlLine(splash, child));
      }
      if (Clock::now() >= nextPoke) {
        // The operator tries to get past it.
        RECT r{};
        GetWindowRect(splash, &r);
        ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, pokes % 2 == 1);
        PressNamed(pokes % 3 == 0 ? "Return" : pokes % 3 == 1 ? "Escape" : "A-F4");
        ++pokes;
        nextPoke = Clock::now() + 300ms;
      }
    }
    if (form != nullptr && formFirst < 0) formFirst = now;
    if (formFirst >= 0 && now - formFirst > 500) break;  // the splash would be back by now
    std::this_thread::sleep_for(5ms);
  }
  std::ostringstream line;
  line << "splashFirst=" << splashFirst << "|splashLast=" << splashLast
       << "|formFirst=" << formFirst << "|overlap=" << overlap << "|pokes=" << pokes
       << "|splashAgain=" << splashAgain;
  Say(line.str());
  for (const std::string& splashLine : splashLines) Say(splashLine);
  return true;
}

// A point of the close box of `window`'s title bar: along the bar from its right end, a few
// pixels into the first point that is the close box.
std::optional<POINT> CloseBoxPoint(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = r.right - 2; x > r.right - 80; --x) {
    if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return POINT{x - 4, y};
  }
  return std::nullopt;
}

bool Run(const std::string& command, const std::string& rest) {
  std::istringstream words(rest);
  if (command == "wait" || command == "gone") {
    std::string name;
    int boundMs = 10000;
    words >> name >> boundMs;
    const auto until = Clock::now() + std::chrono::milliseconds(boundMs);
    while (Clock::now() < until) {
      if ((Find(name) != nullptr) == (command == "wait")) return true;
      std::this_thread::sleep_for(10ms);
    }
    return Fail("timed out");
  }
  if (command == "titled") {
    // Waits for a window with this title: "titled MS TITLE".
    std::string bound;
    words >> bound;
    const std::string title = rest.substr(rest.find(' ') + 1);
    const auto until = Clock::now() + std::chrono::milliseconds(std::stoi(bound));
    while (Clock::now() < until) {
      if (HWND window = Titled(title)) {
        Say("enabled=" + std::to_string(IsWindowEnabled(window) != 0));
        return true;
      }
      std::this_thread::sleep_for(10ms);
    }
    return Fail("no window titled " + title);
  }
  if (command == "exists") {
    Say(Find(rest) != nullptr ? "1" : "0");
    return true;
  }
  if (command == "watch") {
    int boundMs = 20000;
    words >> boundMs;
    return Watch(boundMs);
  }
  if (command == "window") return Window(rest);
  if (command == "controls") {
    HWND window = TopLevel(rest);
    if (window == nullptr) return Fail("no window " + rest);
    for (HWND child : NamedChildren(window)) Say(ControlLine(window, child));
    return true;
  }
  if (command == "focus") {
    HWND form = TopLevel("Form1");
    if (form == nullptr) return Fail("no main window");
    Say(NamedAncestor(FocusOf(form)));
    return true;
  }
  if (command == "keys") {
    std::string token;
    while (words >> token) {
      if (!PressNamed(token)) return Fail("unknown key " + token);
    }
    return SyncInput();
  }
  if (command == "type") {
    for (wchar_t c : Wide(Unescaped(rest))) {
      if (c == L'\n') PressKey(VK_RETURN);
      else TypeCharacter(c);
    }
    return SyncInput();
  }
  if (command == "click" || command == "rightclick") {
    HWND control = Find(rest);
    if (control == nullptr) return Fail("no control " + rest);
    ClickAt(ClickPoint(control), command == "rightclick");
    return SyncInput();
  }
  if (command == "closebox" || command == "closeboxat") {
    // Clicks the close box, or says where it is ("X Y"), to be clicked while the window
    // answers only now and then.
    HWND window = TopLevel(rest);
    if (window == nullptr) return Fail("no window " + rest);
    const std::optional<POINT> at = CloseBoxPoint(window);
    if (!at) return Fail("no close box on the title bar");
    if (command == "closeboxat") {
      Say(std::to_string(at->x) + " " + std::to_string(at->y));
      return true;
    }
    ClickAt(*at, false);
    return SyncInput();
  }
  if (command == "selectall") {
    HWND control = Find(rest);
    if (control == nullptr) return Fail("no control " + rest);
    if (ClassOf(control) == L"ComboBox") SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    else SendMessageW(control, EM_SETSEL, 0, -1);
    return true;
  }
  if (command == "clickat") {
    // A click at a point of the screen: "clickat X Y".
    POINT at{};
    words >> at.x >> at.y;
    ClickAt(at, false);
    return SyncInput();
  }
  if (command == "rect") {
    // Where the visible top-level window of a class is: "rect ComboLBox".
    struct Search {
      std::wstring type;
      HWND found = nullptr;
    } search{Wide(rest)};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(data);
          if (IsWindowVisible(window) && ClassOf(window) == s.type) {
            s.found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return Fail("no window of class " + rest);
    RECT r{};
    GetWindowRect(search.found, &r);
    Say(RectText(r));
    return true;
  }
  if (command == "hover") {
    // The mouse comes to rest over a control, as the operator's does to read its tool tip.
    HWND control = Find(rest);
    if (control == nullptr) return Fail("no control " + rest);
    const POINT at = ClickPoint(control);
    for (int step = 8; step >= 0; step -= 2) {
      INPUT input{};
      input.type = INPUT_MOUSE;
      SetCursorPos(at.x - step, at.y - step);
      input.mi.dwFlags = MOUSEEVENTF_MOVE;
      SendInput(1, &input, sizeof input);
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }
  if (command == "tooltip") {
    // The text of the tool tip on screen, once one shows: "tooltip MS".
    int boundMs = 5000;
    words >> boundMs;
    const auto until = Clock::now() + std::chrono::milliseconds(boundMs);
    while (Clock::now() < until) {
      struct Search {
        HWND found = nullptr;
      } search;
      EnumWindows(
          [](HWND window, LPARAM data) -> BOOL {
            if (IsWindowVisible(window) && ClassOf(window) == L"tooltips_class32") {
              reinterpret_cast<Search*>(data)->found = window;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.found != nullptr && !TextOf(search.found).empty()) {
        Say(Escaped(Utf8(TextOf(search.found))));
        return true;
      }
      std::this_thread::sleep_for(20ms);
    }
    return Fail("no tool tip");
  }
  if (command == "shown") {
    // What an editable list's text field shows: "first=N|fits=0/1", N the first character in
    // view, fits whether its whole text has room in the field.
    HWND control = Find(rest);
    if (control == nullptr) return Fail("no control " + rest);
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (!GetComboBoxInfo(control, &parts) || parts.hwndItem == nullptr)
      return Fail("no text field in " + rest);
    const LRESULT at = SendMessageW(parts.hwndItem, EM_CHARFROMPOS, 0, MAKELPARAM(2, 2));
    const std::wstring text = TextOf(parts.hwndItem);
    RECT room{};
    SendMessageW(parts.hwndItem, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    HDC dc = GetDC(parts.hwndItem);
    const HGDIOBJ before = SelectObject(
        dc, reinterpret_cast<HFONT>(SendMessageW(parts.hwndItem, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, before);
    ReleaseDC(parts.hwndItem, dc);
    Say("first=" + std::to_string(LOWORD(at)) +
        "|fits=" + std::to_string(extent.cx <= room.right - room.left));
    return true;
  }
  if (command == "selectfocus") {
    // Selects all of the text box that has the keyboard (in a dialog of the program too).
    HWND form = TopLevel("Form1");
    HWND focus = form != nullptr ? FocusOf(form) : nullptr;
    if (focus == nullptr) return Fail("no keyboard focus");
    SendMessageW(focus, EM_SETSEL, 0, -1);
    return true;
  }
  if (command == "select") {
    std::string name;
    int position = -1;
    words >> name >> position;
    HWND control = Find(name);
    if (control == nullptr) return Fail("no control " + name);
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    return true;
  }
  if (command == "sync") return SyncInput();
  if (command == "messagebox") {
    HWND box = MessageBoxWindow();
    if (box == nullptr) {
      Say("none");
      return true;
    }
    std::string text, buttons;
    int icons = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      const std::wstring type = ClassOf(child);
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if (!IsWindowVisible(child)) continue;
      if (type == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
        if (SendMessageW(child, STM_GETICON, 0, 0) != 0) ++icons;
      }
      else if (type == L"Static") text += Utf8(TextOf(child));
      else if (type == L"Button") buttons += (buttons.empty() ? "" : ";") + Utf8(TextOf(child));
    }
    HWND owner = GetWindow(box, GW_OWNER);
    Say("title=" + Escaped(Utf8(TextOf(box))) + "|text=" + Escaped(text) + "|buttons=" +
        Escaped(buttons) + "|icons=" + std::to_string(icons) + "|owner=" + NameOf(owner));
    return true;
  }
  if (command == "pixel") {
    // A pixel as the screen shows it, `dx`, `dy` from the top left of a control (of the
    // client area, for a window).
    std::string name;
    int dx = 0, dy = 0;
    words >> name >> dx >> dy;
    HWND control = Find(name);
    if (control == nullptr) return Fail("no control " + name);
    POINT at{dx, dy};
    if (GetParent(control) == nullptr) {
      ClientToScreen(control, &at);
    } else {
      RECT r{};
      GetWindowRect(control, &r);
      at = {r.left + dx, r.top + dy};
    }
    Say(ScreenPixel(at));
    return true;
  }
  if (command == "send") {
    // A window message to a control: "send ListModel 0x154 -1 0".
    std::string name, message, wParam, lParam;
    words >> name >> message >> wParam >> lParam;
    HWND control = Find(name);
    if (control == nullptr) return Fail("no control " + name);
    const LRESULT result = SendMessageW(control, std::stoul(message, nullptr, 0),
                                        static_cast<WPARAM>(std::stoll(wParam, nullptr, 0)),
                                        static_cast<LPARAM>(std::stoll(lParam, nullptr, 0)));
    Say(std::to_string(result));
    return true;
  }
  if (command == "resources") {
    // What an .exe carries: its icon's images, its version strings and its manifest.
    const std::wstring path = Wide(rest);
    HMODULE file = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (file == nullptr) return Fail("cannot open " + rest);
    std::ostringstream line;
    line << "icon=";
    if (HRSRC group = FindResourceW(file, MAKEINTRESOURCEW(1), RT_GROUP_ICON)) {
      const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(file, group)));
      const int count = bytes[4] | (bytes[5] << 8);
      for (int i = 0; i < count; ++i) {
        const BYTE* entry = bytes + 6 + 14 * i;
        line << (i ? ";" : "") << int(entry[0] ? entry[0] : 256) << 'x'
             << int(entry[1] ? entry[1] : 256) << 'x' << (entry[6] | (entry[7] << 8));
      }
    }
    if (HRSRC manifest = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
      const std::string text(static_cast<const char*>(LockResource(LoadResource(file, manifest))),
                             SizeofResource(file, manifest));
      line << "|commonControls6=" << (text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
                                      text.find("version=\"6.0.0.0\"") != std::string::npos)
           << "|dpiAware=" << (text.find("PerMonitorV2") != std::string::npos);
    }
    FreeLibrary(file);
    DWORD ignored = 0;
    std::vector<BYTE> version(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (!version.empty() && GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(version.size()), version.data())) {
      for (const wchar_t* key : {L"FileDescription", L"FileVersion", L"CompanyName", L"ProductName"}) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\081604B0\\") + key;
        if (VerQueryValueW(version.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
          line << '|' << Utf8(key) << '=' << Escaped(Utf8(value));
      }
    }
    Say(line.str());
    return true;
  }
  if (command == "foreground") {
    Say(NamedAncestor(GetForegroundWindow()) + "|" + Utf8(ClassOf(GetForegroundWindow())));
    return true;
  }
  if (command == "sleep") {
    int ms = 0;
    words >> ms;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return true;
  }
  return Fail("unknown command " + command);
}

}  // namespace

int main() {
  // Screen pixels, as the window's own: a program unaware of DPI would see scaled ones.
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "quit") break;
    if (command == "nosync") {
      const std::size_t next = rest.find(' ');
      noSync = true;
      const bool done = Run(rest.substr(0, next), next == std::string::npos ? "" : rest.substr(next + 1));
      noSync = false;
      if (done) Say("ok");
      continue;
    }
    if (Run(command, rest)) Say("ok");
  }
  return 0;
}
