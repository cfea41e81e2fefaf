// The two windows as drawn: every control with its kind, container, place in twips, tab index,
// caption, font and look, and Form1's wiring: which controls the behaviour knows and the context
// menus with their items. Both views (Qt on Linux, Win32 on Windows) build their windows, their
// events and their menus from these tables, so the numbers and the wiring live in one place.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qrticket::ui {

enum class ControlKind {
  Picture,       // a logo at its natural size, from the top left
  Label,         // a caption, transparent on the window's white
  TextBox,       // single-line
  MultiLineText, // wraps at its width, no scroll bars
  Frame,         // a frame with (or without) a caption that holds other controls
  EditableList,  // a drop-down list that also accepts typed text
  FixedList,     // a drop-down list without typing
  CheckBox,
  Button,
};

enum class Align { Left, Centre, Right };

struct FontSpec {
  std::string_view face = {};  // as the window was drawn: "MS Sans Serif", "Arial"
  double points = 8.25;
  bool bold = false;
};

struct Twips {
  int left = 0, top = 0, width = 0, height = 0;
};

// 1440 twips to the inch, so 15 to a pixel at 96 dpi and 10 at 144. Each of left, top, width
// and height is rounded to the nearest pixel on its own, halves up, as the window was laid out.
constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi * 2 + 1440) / (1440 * 2); }

// A picture of the windows' own, named by its file in assets/ without extension.
enum class Picture { None, Logo52, Logo206x208 };

// The controls of Form1 the behaviour reads, changes or hears from (form1_model.h); every other
// control keeps its design content. A view reports a change of each (text typed or set, entry
// chosen, box ticked) and a click of each push button to the model.
enum class Control {
  None,
  Text1, lblNChar, lblSimbolo, ObjPrint, Tamanho, ListModel, ListError,
  ChkPag, chkCentrado, chkNew, Command1, Command2, cmdEstado,
};

// The items of Form1's context menus, as the model hears of them.
enum class MenuItem {
  Limits80, Limits58, FindSpeed,
  // The code-table ticket, and the code table the window's tickets select (none: as always).
  CodeTablesTicket, CodeTableNone, CodeTable0, CodeTable2, CodeTable3, CodeTable16, CodeTable19,
  CodeTable40,
  // The printer's density the symbol line measures at.
  Dpi180, Dpi203, Dpi300,
  // A checkable item: the tickets carry the symbol as the program's image (GS v 0).
  RasterSymbol,
};

struct ControlSpec {
  std::string_view name = {};       // the control's name: object name (Qt), found by it in tests
  Control control = Control::None;  // what the behaviour calls it
  ControlKind kind = ControlKind::Label;
  std::string_view container = {};  // the window's name, or "Frame1"
  Twips rect = {};                  // in the client area of the container
  // Order of the keyboard focus; -1: takes no focus. Controls the program adds share the index
  // of the control they follow and come after it in the table.
  int tabIndex = -1;
  std::string_view caption = {};       // UTF-8
  std::optional<FontSpec> font = {};  // none: the window's font
  Align align = Align::Left;
  bool border = false;         // a thin single-line border (labels)
  bool greyFace = false;       // push buttons with the light grey face, RGB 192, 192, 192
  bool boxOnTheRight = false;  // check boxes: the box right of the caption
  bool hidden = false;         // never shown
  bool wraps = false;          // labels whose text breaks into lines
  bool autoSize = false;       // labels that size themselves to their text, keeping their left
  Picture picture = Picture::None;
  // Lists: the device box, which adds the devices found at every opening and draws each with
  // its description (owner-drawn on Win32).
  bool deviceList = false;
  std::span<const std::string_view> entries = {};  // the lists' design-time entries
};

struct MenuItemSpec {
  std::string_view name = {};  // object name (Qt), found by it in tests
  std::string_view (*caption)() = nullptr;  // UTF-8, from the texts' catalogue (form_texts.h)
  MenuItem item = MenuItem::Limits80;
  // Shows a tick that the model keeps (Form1Model::Checked); choosing it toggles the tick.
  bool checkable = false;
};

// A context menu of a control: opened by a right click on it, the menu key or Shift+F10.
struct MenuSpec {
  std::string_view name = {};  // object name (Qt)
  Control owner = Control::None;
  std::span<const MenuItemSpec> items = {};
  // Its items are measured by the symbols room: offered only where that is built.
  bool needsSymbols = false;
};

struct WindowSpec {
  std::string_view name = {};
  std::string_view caption = {};  // UTF-8; empty for none
  int clientWidth = 0, clientHeight = 0;  // twips
  FontSpec font = {};  // for controls without a font of their own
  std::span<const ControlSpec> controls = {};
  std::span<const MenuSpec> menus = {};
  // Return and the keypad's Enter (without Ctrl, Alt or Shift) press the focused, enabled push
  // button, as Space does; outside a dialog neither toolkit does so by itself.
  bool enterPressesButtons = false;
};

const WindowSpec& Form1Layout();
const WindowSpec& SplashLayout();

// frmSplash's Timer1: how long the splash stays on screen.
inline constexpr std::chrono::milliseconds kSplashInterval{3000};

// The colours the windows were drawn with, besides their white.
struct Rgb {
  int red = 0, green = 0, blue = 0;
};
inline constexpr Rgb kButtonFace{192, 192, 192};
// Disabled captions on that face: dark grey, 3.5:1 against it, readable by the usual measure
// for large text and controls (at least 3:1), yet plainly lighter than an enabled caption's
// black. The toolkits' own disabled greys are about 1.1:1 on that face.
inline constexpr Rgb kDisabledCaption{96, 96, 96};

// The control named `name` in `window`; nullptr when there is none.
const ControlSpec* FindControl(const WindowSpec& window, std::string_view name);

// Form1's row of `control` (not None).
const ControlSpec& Form1Row(Control control);
// The context menu of `control` in Form1; nullptr when it has none.
const MenuSpec* Form1MenuOf(Control control);

// The controls of `window` that take the keyboard focus, in focus order.
std::vector<const ControlSpec*> FocusOrder(const WindowSpec& window);

}  // namespace qrticket::ui
