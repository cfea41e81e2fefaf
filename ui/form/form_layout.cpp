// The windows' control tables (see form_layout.h).
#include "form_layout.h"

#include <algorithm>

#include "app_identity.h"
#include "form_texts.h"
#include "ticket/publisher.h"

namespace qrticket::ui {
namespace {

using K = ControlKind;

constexpr FontSpec kSans{"MS Sans Serif", 8.25, false};
constexpr FontSpec kHeading{"MS Sans Serif", 9.75, true};
constexpr FontSpec kLarge{"MS Sans Serif", 12, false};
constexpr FontSpec kLargeBold{"MS Sans Serif", 12, true};
constexpr FontSpec kSmall{"MS Sans Serif", 7, false};
constexpr FontSpec kSplashName{"Arial", 9.75, true};
constexpr FontSpec kSplashWarning{"Arial", 8.25, true};

constexpr std::string_view kPorts[] = {"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:",
                                       "COM4:", "COM5:", "COM6:", ""};
constexpr std::string_view kModels[] = {"Modelo 1", "Modelo 2", "MIcro QR Code"};
constexpr std::string_view kLevels[] = {"Nivel L", "Nivel M", "Nivel Q", "Nivel H"};
constexpr std::string_view kLetters[] = {"L", "M", "Q", "H"};

// Form1, control by control. ObjPrint's entries are those the load steps put there.
constexpr ControlSpec kForm1Controls[] = {
    {.name = "Image1", .kind = K::Picture, .container = "Form1", .rect = {390, 270, 780, 780},
     .picture = Picture::Logo52},
    {.name = "Label3", .kind = K::Label, .container = "Form1", .rect = {1320, 540, 6045, 315},
     .tabIndex = -1, .caption = "BREVALUNDA - SISTEMAS DE INFORMAÇÃO LDA", .font = kHeading},
    {.name = "Label5", .kind = K::Label, .container = "Form1", .rect = {390, 1170, 6525, 75},
     .border = true},
    {.name = "Label1", .kind = K::Label, .container = "Form1", .rect = {420, 1350, 1125, 315},
     .caption = "Codificar", .font = kLarge},
    {.name = "lblNChar", .control = Control::lblNChar, .kind = K::Label, .container = "Form1", .rect = {480, 1830, 795, 525},
     .font = kLargeBold, .align = Align::Centre},
    // Under the count, down to the frame, from near the window's edge so most lines fit whole:
    // what the printer will draw for the window's values.
    {.name = "lblSimbolo", .control = Control::lblSimbolo, .kind = K::Label, .container = "Form1", .rect = {90, 2400, 1350, 1410},
     .font = kSmall, .align = Align::Centre, .wraps = true},
    {.name = "Text1", .control = Control::Text1, .kind = K::MultiLineText, .container = "Form1",
     .rect = {1470, 1320, 5445, 2490}, .tabIndex = 2, .font = kLarge},
    {.name = "Frame1", .kind = K::Frame, .container = "Form1", .rect = {390, 3870, 6585, 2835},
     .caption = "Impressão ESC/POS do QR CODE"},
    {.name = "Label2", .kind = K::Label, .container = "Frame1", .rect = {180, 480, 1275, 315},
     .caption = " Dispositivo:", .border = true},
    {.name = "ObjPrint", .control = Control::ObjPrint, .kind = K::EditableList, .container = "Frame1",
     .rect = {1500, 480, 4875, 315}, .tabIndex = 11, .deviceList = true, .entries = kPorts},
    {.name = "Label6", .kind = K::Label, .container = "Frame1", .rect = {270, 930, 1095, 435},
     .caption = "Tamanho", .align = Align::Right},
    {.name = "Tamanho", .control = Control::Tamanho, .kind = K::TextBox, .container = "Frame1", .rect = {1500, 870, 675, 345},
     .tabIndex = 13},
    {.name = "Label7", .kind = K::Label, .container = "Frame1", .rect = {270, 1350, 1095, 435},
     .caption = "QR Code", .align = Align::Right},
    {.name = "ListModel", .control = Control::ListModel, .kind = K::EditableList, .container = "Frame1",
     .rect = {1500, 1290, 1545, 315}, .tabIndex = 15, .entries = kModels},
    {.name = "Label8", .kind = K::Label, .container = "Frame1", .rect = {240, 1740, 1095, 435},
     .caption = "Correção Erro", .align = Align::Right},
    {.name = "ListError", .control = Control::ListError, .kind = K::EditableList, .container = "Frame1",
     .rect = {1500, 1710, 1545, 315}, .tabIndex = 18, .entries = kLevels},
    {.name = "ChkPag", .control = Control::ChkPag, .kind = K::CheckBox, .container = "Frame1", .rect = {420, 2130, 1245, 225},
     .tabIndex = 19, .caption = "Modo página", .boxOnTheRight = true},
    {.name = "chkCentrado", .control = Control::chkCentrado, .kind = K::CheckBox, .container = "Frame1",
     .rect = {690, 2460, 975, 225}, .tabIndex = 20, .caption = "Centrado", .boxOnTheRight = true},
    {.name = "chkNew", .control = Control::chkNew, .kind = K::CheckBox, .container = "Frame1", .rect = {2970, 2430, 975, 255},
     .tabIndex = 21, .caption = "woosim"},
    {.name = "Command1", .control = Control::Command1, .kind = K::Button, .container = "Frame1", .rect = {4440, 930, 1935, 1725},
     .tabIndex = 7, .caption = "Imprimir", .greyFace = true},
    {.name = "Command2", .control = Control::Command2, .kind = K::Button, .container = "Form1", .rect = {4890, 6750, 1965, 615},
     .tabIndex = 10, .caption = "Fechar", .greyFace = true},
    // Left of "Fechar", the same size, in the room the window had there: asks the printer.
    {.name = "cmdEstado", .control = Control::cmdEstado, .kind = K::Button, .container = "Form1", .rect = {2805, 6750, 1965, 615},
     .tabIndex = 10, .caption = "Estado", .greyFace = true},
    // Three controls drawn on the window's bottom edge and never shown or used.
    {.name = "Label4", .kind = K::Label, .container = "Form1", .rect = {540, 7500, 1575, 255},
     .caption = "Nivel correcção erros", .hidden = true},
    {.name = "Combo3", .kind = K::FixedList, .container = "Form1", .rect = {2700, 7500, 2175, 315},
     .tabIndex = 3, .hidden = true, .entries = kLetters},
    {.name = "Check1", .kind = K::CheckBox, .container = "Form1", .rect = {4950, 7500, 2175, 255},
     .tabIndex = 4, .caption = "Contorno", .hidden = true},
};

// The print button's menu, so no control of the window moves: the limits ticket on either
// paper, the code-table ticket and the code table the tickets select while the window is open,
// and whether the tickets carry the symbol as the program's image.
constexpr MenuItemSpec kLimitsItems[] = {
    {.name = "actLimites80", .caption = &texts::ProbeMenuCaption80, .item = MenuItem::Limits80},
    {.name = "actLimites58", .caption = &texts::ProbeMenuCaption58, .item = MenuItem::Limits58},
    {.name = "actTabelas", .caption = &texts::CodeTablesMenuCaption,
     .item = MenuItem::CodeTablesTicket},
    {.name = "actTabelaNenhuma", .caption = &texts::CodeTableNoneCaption,
     .item = MenuItem::CodeTableNone},
    {.name = "actTabela0", .caption = &texts::CodeTable0Caption, .item = MenuItem::CodeTable0},
    {.name = "actTabela2", .caption = &texts::CodeTable2Caption, .item = MenuItem::CodeTable2},
    {.name = "actTabela3", .caption = &texts::CodeTable3Caption, .item = MenuItem::CodeTable3},
    {.name = "actTabela16", .caption = &texts::CodeTable16Caption, .item = MenuItem::CodeTable16},
    {.name = "actTabela19", .caption = &texts::CodeTable19Caption, .item = MenuItem::CodeTable19},
    {.name = "actTabela40", .caption = &texts::CodeTable40Caption, .item = MenuItem::CodeTable40},
    {.name = "actImagemQr", .caption = &texts::RasterSymbolCaption,
     .item = MenuItem::RasterSymbol, .checkable = true},
};
// The speed search: the status button's menu, beside the status it asks.
constexpr MenuItemSpec kStatusItems[] = {
    {.name = "actProcurarVelocidade", .caption = &texts::SpeedSearchMenuCaption,
     .item = MenuItem::FindSpeed},
};
// The printer's density, for the Portaria 195/2020 width: the symbol line's own menu.
constexpr MenuItemSpec kDensityItems[] = {
    {.name = "actDensidade180", .caption = &texts::DensityMenuCaption180, .item = MenuItem::Dpi180},
    {.name = "actDensidade203", .caption = &texts::DensityMenuCaption203, .item = MenuItem::Dpi203},
    {.name = "actDensidade300", .caption = &texts::DensityMenuCaption300, .item = MenuItem::Dpi300},
};
constexpr MenuSpec kForm1Menus[] = {
    {.name = "mnuLimites", .owner = Control::Command1, .items = kLimitsItems,
     .needsSymbols = true},
    {.name = "mnuEstado", .owner = Control::cmdEstado, .items = kStatusItems},
    {.name = "mnuDensidade", .owner = Control::lblSimbolo, .items = kDensityItems,
     .needsSymbols = true},
};

constexpr WindowSpec kForm1{.name = "Form1",
                            .caption = kMainWindowCaption,
                            .clientWidth = 7275,
                            .clientHeight = 7575,
                            .font = kSans,
                            .controls = kForm1Controls,
                            .menus = kForm1Menus,
                            .enterPressesButtons = true};

// frmSplash. Timer1 is no control on screen; its interval is the splash's own (frm_splash).
constexpr ControlSpec kSplashControls[] = {
    {.name = "Frame1", .kind = K::Frame, .container = "frmSplash", .rect = {150, 60, 7530, 4260}},
    {.name = "imgLogo", .kind = K::Picture, .container = "Frame1", .rect = {30, 105, 3090, 3120},
     .picture = Picture::Logo206x208},
    {.name = "lblPlatform", .kind = K::Label, .container = "Frame1",
     .rect = {3240, 1590, 3975, 240}, .caption = "Brevalunda - Sistemas de Informação, Lda",
     .font = kSplashName, .align = Align::Right, .autoSize = true},
    {.name = "lblVersion", .kind = K::Label, .container = "Frame1", .rect = {5385, 2160, 1770, 240},
     .caption = publisher::kWeb, .font = kSplashName, .align = Align::Right, .autoSize = true},
    {.name = "lblWarning", .kind = K::Label, .container = "Frame1", .rect = {150, 3840, 6855, 285},
     .caption = "Teste de impressão do QR Code em impressoras em modo ESC/POS",
     .font = kSplashWarning, .align = Align::Right},
};

constexpr WindowSpec kSplash{.name = "frmSplash",
                             .caption = "",
                             .clientWidth = 7860,
                             .clientHeight = 4605,
                             .font = kSans,
                             .controls = kSplashControls};

}  // namespace

const WindowSpec& Form1Layout() { return kForm1; }
const WindowSpec& SplashLayout() { return kSplash; }

const ControlSpec* FindControl(const WindowSpec& window, std::string_view name) {
  for (const ControlSpec& control : window.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

const ControlSpec& Form1Row(Control control) {
  const auto& controls = kForm1.controls;
  return *std::find_if(controls.begin(), controls.end(),
                       [control](const ControlSpec& row) { return row.control == control; });
}

const MenuSpec* Form1MenuOf(Control control) {
  for (const MenuSpec& menu : kForm1.menus) {
    if (menu.owner == control) return &menu;
  }
  return nullptr;
}

std::vector<const ControlSpec*> FocusOrder(const WindowSpec& window) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& control : window.controls) {
    if (control.tabIndex >= 0 && !control.hidden) order.push_back(&control);
  }
  std::stable_sort(order.begin(), order.end(), [](const ControlSpec* a, const ControlSpec* b) {
    return a->tabIndex < b->tabIndex;
  });
  return order;
}

}  // namespace qrticket::ui
