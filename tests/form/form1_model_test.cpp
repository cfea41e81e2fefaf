// Form1's behaviour without any window: a view of plain values stands in for the controls,
// once reporting the model's own changes back as events (as Qt does) and once not (as Win32
// does for a multi-line box and a list chosen by program). Jobs write real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "form1_model.h"
#include "form_layout.h"
#include "form_text.h"
#include "recording_reporter.h"
#include "symbol_line.h"
#include "symbols/probe_ticket.h"
#include "symbols/raster_ticket_symbol.h"
#include "ticket/code_table_ticket.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket_bytes.h"

namespace qrticket::ui {
namespace {

using testing::RecordingReporter;
using testing::TempDir;

struct FakeControl {
  std::string text;
  std::vector<std::string> entries;
  int selected = -1;
  bool ticked = false;
  bool enabled = true;
  std::string toolTip;
};

// Controls as plain values, wired from the layout table as a window is: every control the
// behaviour knows reports its changes (or, a push button, its clicks) and every menu of the table
// offers its items. With `echo`, the changes the model makes itself come back to it as events.
class FakeView final : public Form1View {
 public:
  // The lists hold their design-time entries, as a view makes them from the layout table.
  explicit FakeView(bool echo) : echo_(echo) {
    for (const ControlSpec& spec : Form1Layout().controls) {
      if (spec.control == Control::None) continue;
      kinds_[spec.control] = spec.kind;
      controls_[spec.control].entries.assign(spec.entries.begin(), spec.entries.end());
    }
    for (const MenuSpec& menu : Form1Layout().menus) {
      if (!Offered(menu)) continue;
      for (const MenuItemSpec& item : menu.items) menus_[menu.owner].push_back(item.item);
    }
  }
  void Attach(Form1Model& model) { model_ = &model; }

  FakeControl& operator[](Control control) { return controls_[control]; }
  std::vector<std::string> calls;  // SetBusy, Close, ShowMessage and the previews, in order
  std::vector<std::string> messages;
  std::vector<std::string> titles;  // SetTitle
  std::vector<QrPrintSettings> previewed;
  std::vector<Control> reported;  // the changes and clicks the wiring handed to the model
  bool canPreview = false;

  // The operator's input, through the wiring: typing into a box or list (which leaves a list's
  // entry unchosen), choosing a list's entry, ticking a box, clicking a button, choosing a menu
  // item of a control. False where the wiring has no such event for the control.
  bool Type(Control control, std::string text) {
    if (!Takes(control, {ControlKind::TextBox, ControlKind::MultiLineText,
                         ControlKind::EditableList}))
      return false;
    controls_[control].text = std::move(text);
    controls_[control].selected = -1;
    return Report(control);
  }
  bool Choose(Control list, int position) {
    if (!Takes(list, {ControlKind::EditableList, ControlKind::FixedList})) return false;
    Select(list, position);
    return echo_ || Report(list);
  }
  bool Tick(Control box, bool ticked) {
    if (!Takes(box, {ControlKind::CheckBox})) return false;
    controls_[box].ticked = ticked;
    return Report(box);
  }
  bool Click(Control button) {
    if (!Takes(button, {ControlKind::Button}) || !controls_[button].enabled) return false;
    reported.push_back(button);
    model_->Clicked(button);
    return true;
  }
  bool ChooseFromMenu(Control owner, MenuItem item) {
    const std::vector<MenuItem>& items = menus_[owner];
    if (std::find(items.begin(), items.end(), item) == items.end()) return false;
    model_->Chosen(item);
    return true;
  }

  std::string Text(Control control) const override { return controls_[control].text; }
  void SetText(Control control, std::string_view text) override {
    controls_[control].text = std::string(text);
    Echo(control);
  }
  int Selected(Control control) const override { return controls_[control].selected; }
  void Select(Control control, int position) override {
    FakeControl& c = controls_[control];
    c.selected = position;
    c.text = position >= 0 ? c.entries.at(static_cast<std::size_t>(position)) : std::string();
    Echo(control);
  }
  void SetEntries(Control control, std::span<const std::string_view> entries) override {
    controls_[control].entries.assign(entries.begin(), entries.end());
    controls_[control].selected = -1;
  }
  bool Ticked(Control control) const override { return controls_[control].ticked; }
  void SetEnabled(Control control, bool enabled) override { controls_[control].enabled = enabled; }
  void SetToolTip(Control control, std::string_view text) override {
    controls_[control].toolTip = std::string(text);
  }
  void SetTitle(std::string_view title) override { titles.emplace_back(title); }
  void SetBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
  void Close() override { calls.push_back("close"); }
  void ShowMessage(const std::string& message) override {
    calls.push_back("message");
    messages.push_back(message);
  }
  bool CanPreview() const override { return canPreview; }
  void PreviewTicket(const QrPrintSettings& settings, FailureReporter&) override {
    calls.push_back("preview");
    previewed.push_back(settings);
  }
  void PreviewCodeTables() override { calls.push_back("code tables preview"); }
  void PreviewProbe(const QrPrintSettings& settings, int paperDots, FailureReporter&) override {
    calls.push_back("probe preview " + std::to_string(paperDots));
    previewed.push_back(settings);
  }

 private:
  bool Takes(Control control, std::initializer_list<ControlKind> kinds) const {
    const auto kind = kinds_.find(control);
    return model_ != nullptr && kind != kinds_.end() &&
           std::find(kinds.begin(), kinds.end(), kind->second) != kinds.end();
  }
  // A change of a control of the table, as its event reaches the model.
  bool Report(Control control) {
    if (!Takes(control, {ControlKind::TextBox, ControlKind::MultiLineText,
                         ControlKind::EditableList, ControlKind::FixedList,
                         ControlKind::CheckBox}))
      return false;
    reported.push_back(control);
    model_->Changed(control);
    return true;
  }
  void Echo(Control control) {
    if (echo_) Report(control);
  }

  bool echo_;
  Form1Model* model_ = nullptr;
  std::map<Control, ControlKind> kinds_;
  std::map<Control, std::vector<MenuItem>> menus_;
  mutable std::map<Control, FakeControl> controls_;  // a control not yet touched is as drawn
};

class Form1ModelTest : public ::testing::TestWithParam<bool> {
 protected:
  Form1ModelTest() : view_(GetParam()), model_(view_, reporter_) {
    view_.Attach(model_);
    // Command1 and cmdEstado start enabled, as drawn: the load steps must disable them.
    model_.Load();
  }
  void Type(Control control, std::string text) { ASSERT_TRUE(view_.Type(control, std::move(text))); }
  // A click as the operator makes it: a disabled button takes none.
  void Click(Control button) { view_.Click(button); }
  void ChooseFromMenu(Control owner, MenuItem item) {
    ASSERT_TRUE(view_.ChooseFromMenu(owner, item));
  }

  FakeView view_;
  RecordingReporter reporter_;
  Form1Model model_;
  TempDir dir_;
};

TEST_P(Form1ModelTest, ValuesAfterLoad) {
  EXPECT_EQ(view_[Control::Text1].text, kSampleDataText);
  EXPECT_EQ(view_[Control::lblNChar].text, "140");
  EXPECT_EQ(view_[Control::ObjPrint].entries,
            (std::vector<std::string>{"LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:",
                                      "COM5:", "COM6:", ""}));
  EXPECT_EQ(view_[Control::ObjPrint].selected, 8);
  EXPECT_EQ(view_[Control::ObjPrint].text, "");
  EXPECT_FALSE(view_[Control::Command1].enabled);
  EXPECT_FALSE(view_[Control::cmdEstado].enabled);
  EXPECT_EQ(view_[Control::Tamanho].text, "6");
  EXPECT_EQ(view_[Control::ListModel].selected, 1);
  EXPECT_EQ(view_[Control::ListError].selected, 1);
  const SymbolLine line = SymbolLineFor(model_.SettingsFromControls());
  EXPECT_EQ(view_[Control::lblSimbolo].text, line.text);
  EXPECT_EQ(view_[Control::lblSimbolo].toolTip, line.toolTip);
  EXPECT_NE(line.text.find("Versão 8"), std::string::npos) << line.text;
  EXPECT_TRUE(view_.calls.empty()) << "nothing runs a job at load";
}

struct CountRow {
  const char* name;
  const char* text;
  const char* count;
};

TEST_P(Form1ModelTest, CountFollowsTheText) {
  const CountRow rows[] = {{"empty", "", "0"},
                           {"LF break", "AB\nC", "5"},
                           {"CR LF break", "AB\r\nC", "5"},
                           {"euro", "€", "1"}};
  for (const CountRow& row : rows) {
    Type(Control::Text1, row.text);
    EXPECT_EQ(view_[Control::lblNChar].text, row.count) << row.name;
  }
}

TEST_P(Form1ModelTest, PortRuleFollowsTypingAndChoosing) {
  struct Row {
    const char* text;
    bool enabled;
  };
  for (const Row& row : {Row{"   ", false}, Row{" COM1: ", true}, Row{"", false}, Row{"\t", true}}) {
    Type(Control::ObjPrint, row.text);
    EXPECT_EQ(view_[Control::Command1].enabled, row.enabled) << '"' << row.text << '"';
    EXPECT_EQ(view_[Control::cmdEstado].enabled, row.enabled) << '"' << row.text << '"';
  }
  ASSERT_TRUE(view_.Choose(Control::ObjPrint, 0));
  EXPECT_TRUE(view_[Control::Command1].enabled);
  ASSERT_TRUE(view_.Choose(Control::ObjPrint, 8));
  EXPECT_FALSE(view_[Control::Command1].enabled);
}

TEST_P(Form1ModelTest, SettingsAreTheControlsAsTyped) {
  Type(Control::Text1, "AB\nC\u00A0€");
  Type(Control::ObjPrint, " COM1: ");
  Type(Control::Tamanho, " 8x");
  view_[Control::ListModel].selected = -1;
  view_[Control::ListError].selected = 3;
  view_[Control::ChkPag].ticked = true;
  view_[Control::chkNew].ticked = true;
  const QrPrintSettings settings = model_.SettingsFromControls();
  EXPECT_EQ(settings.dataText, "AB\r\nC\xA0\x80");
  EXPECT_EQ(settings.deviceName, " COM1: ");
  EXPECT_EQ(settings.moduleSizeText, " 8x");
  EXPECT_EQ(settings.modelIndex, -1);
  EXPECT_EQ(settings.errorLevelIndex, 3);
  EXPECT_TRUE(settings.pageMode);
  EXPECT_FALSE(settings.centred);
  EXPECT_TRUE(settings.woosimDialect);
}

TEST_P(Form1ModelTest, PrintWritesTheTicketUnderTheBusyCursor) {
  Type(Control::Text1, "AB\nC");
  view_[Control::chkCentrado].ticked = true;
  const std::string file = dir_.File("talão.bin");
  Type(Control::ObjPrint, file);
  Click(Control::Command1);
  EXPECT_TRUE(reporter_.messages.empty());
  QrPrintSettings expected = model_.SettingsFromControls();
  EXPECT_EQ(testing::ReadFileBytes(file), testing::TicketBytes(expected));
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle"}));
}

TEST_P(Form1ModelTest, FailedPrintIsReportedOnceAndTheCursorComesBack) {
  Type(Control::ObjPrint, dir_.File("no-such-folder/ticket.bin"));
  Click(Control::Command1);
  ASSERT_EQ(reporter_.messages.size(), 1U);
  EXPECT_EQ(reporter_.messages[0].rfind(kFailurePrefix, 0), 0U) << reporter_.messages[0];
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle"}));
}

// The device takes these tickets, but the printer draws no symbol on them: one box says why,
// after the busy cursor is gone.
struct WithoutSymbolRow {
  const char* name;
  std::string text;
  int model, level;
  std::string size;
  std::string why;  // the start of the box's text after its first words
};

TEST_P(Form1ModelTest, PrintWithoutSymbolSaysWhyInOneBox) {
  const WithoutSymbolRow rows[] = {
      {"empty text", "", 1, 1, "4", "sem dados"},
      {"Micro QR at level H", "12345", 2, 3, "4", "o Micro QR não tem nível H"},
      {"more than Micro QR holds", std::string(40, 'x'), 2, 0, "4", "40 bytes: não cabe"},
      {"builder failure", "abc", 1, 1, "300", "o talão imprime a falha"},
  };
  for (const WithoutSymbolRow& row : rows) {
    SCOPED_TRACE(row.name);
    view_.calls.clear();
    view_.messages.clear();
    Type(Control::Text1, row.text);
    Type(Control::Tamanho, row.size);
    view_[Control::ListModel].selected = row.model;
    view_[Control::ListError].selected = row.level;
    const std::string file = dir_.File("ticket.bin");
    Type(Control::ObjPrint, file);
    Click(Control::Command1);
    EXPECT_TRUE(reporter_.messages.empty());
    EXPECT_FALSE(testing::ReadFileBytes(file).empty());
    ASSERT_EQ(view_.messages.size(), 1U);
    EXPECT_EQ(view_.messages[0].rfind("O talão foi impresso sem o símbolo QR: " + row.why, 0), 0U)
        << view_.messages[0];
    EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle", "message"}));
  }
}

// The speed search's warning promises a search: names that cannot be searched get only the
// refusal, which names them.
TEST_P(Form1ModelTest, SpeedSearchOfANameThatIsNoSerialLineGivesOneBox) {
  for (const std::string& device : {std::string("VISUALIZAR:"), dir_.File("ticket.bin")}) {
    SCOPED_TRACE(device);
    view_.messages.clear();
    Type(Control::ObjPrint, device);
    ChooseFromMenu(Control::cmdEstado, MenuItem::FindSpeed);
    ASSERT_EQ(view_.messages.size(), 1U);
    EXPECT_NE(view_.messages[0].find("não é uma porta série"), std::string::npos)
        << view_.messages[0];
  }
}

TEST_P(Form1ModelTest, BlankDeviceDoesNothing) {
  Type(Control::ObjPrint, "  ");
  // As a view could deliver them, disabled buttons or not.
  model_.Clicked(Control::Command1);
  model_.Clicked(Control::cmdEstado);
  model_.Chosen(MenuItem::Limits80);
  model_.Chosen(MenuItem::FindSpeed);
  model_.Chosen(MenuItem::CodeTablesTicket);
  EXPECT_TRUE(view_.calls.empty());
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_P(Form1ModelTest, PreviewNameGoesToTheViewWhereItCanShowIt) {
  view_.canPreview = true;
  Type(Control::ObjPrint, " visualizar: ");
  Click(Control::Command1);
  ChooseFromMenu(Control::Command1, MenuItem::Limits58);
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "preview", "idle", "busy",
                                                   "probe preview 384", "idle"}));
  ASSERT_EQ(view_.previewed.size(), 2U);
  EXPECT_EQ(view_.previewed[0].deviceName, " visualizar: ");
}

TEST_P(Form1ModelTest, StatusOfAFileSaysItCannotAnswer) {
  const std::string file = dir_.File("ticket.bin");
  Type(Control::ObjPrint, file);
  Click(Control::cmdEstado);
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].rfind("Estado de " + file + ":\n", 0), 0U) << view_.messages[0];
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle", "message"}))
      << "the box shows with the normal cursor";
  EXPECT_TRUE(testing::ReadFileBytes(file).empty());
}

TEST_P(Form1ModelTest, StatusOfThePreviewExplainsItself) {
  Type(Control::ObjPrint, "VISUALIZAR:");
  Click(Control::cmdEstado);
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].rfind("VISUALIZAR: mostra o talão no ecrã", 0), 0U);
}

TEST_P(Form1ModelTest, ProbeWritesTheLimitsTicket) {
  const std::string file = dir_.File("limites.bin");
  Type(Control::ObjPrint, file);
  ChooseFromMenu(Control::Command1, MenuItem::Limits58);
  EXPECT_TRUE(reporter_.messages.empty());
  EXPECT_EQ(testing::ReadFileBytes(file),
            ProbeTicketBytes(model_.SettingsFromControls(), kPaper58mmDots));
}

// The code table chosen in the print button's menu holds for the window's tickets: ESC t n
// after ESC @ and the text in that table; "nenhuma" brings back the ticket of always.
TEST_P(Form1ModelTest, ChosenCodeTableReachesTheTicket) {
  const std::string file = dir_.File("ticket.bin");
  Type(Control::ObjPrint, file);
  Click(Control::Command1);
  const Bytes always = testing::ReadFileBytes(file);
  ASSERT_EQ(always.rfind("\x1B@\n", 0), 0U);

  ChooseFromMenu(Control::Command1, MenuItem::CodeTable3);
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_NE(view_.messages[0].find("tabela de caracteres 3 (PC860) com ESC t 3"), std::string::npos)
      << view_.messages[0];
  EXPECT_EQ(model_.SettingsFromControls().codeTable, 3);
  Click(Control::Command1);
  const Bytes pc860 = testing::ReadFileBytes(file);
  EXPECT_EQ(pc860.rfind("\x1B@\x1Bt\x03\n", 0), 0U);
  EXPECT_NE(pc860.find("INFORMA\x80\x8EO"), Bytes::npos);  // ÇÃ in PC860

  ChooseFromMenu(Control::Command1, MenuItem::CodeTableNone);
  Click(Control::Command1);
  EXPECT_EQ(testing::ReadFileBytes(file), always);
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_P(Form1ModelTest, CodeTableTicketGoesToTheDeviceOrTheScreen) {
  const std::string file = dir_.File("tabelas.bin");
  Type(Control::ObjPrint, file);
  ChooseFromMenu(Control::Command1, MenuItem::CodeTablesTicket);
  EXPECT_EQ(testing::ReadFileBytes(file), CodeTableTicketBytes());
  view_.canPreview = true;
  view_.calls.clear();
  Type(Control::ObjPrint, "VISUALIZAR:");
  ChooseFromMenu(Control::Command1, MenuItem::CodeTablesTicket);
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "code tables preview", "idle"}));
  EXPECT_TRUE(reporter_.messages.empty());
}

// Each rule follows the operator's change of every control it reads: the window shows what
// the values now give. A control left out of the wiring leaves its rule behind.
TEST_P(Form1ModelTest, EachRuleFollowsItsControls) {
  struct Row {
    const char* name;
    std::function<bool(FakeView&)> change;
  };
  const Row rows[] = {
      {"Text1", [](FakeView& v) { return v.Type(Control::Text1, "AB\nC"); }},
      {"ObjPrint typed", [](FakeView& v) { return v.Type(Control::ObjPrint, "LPT2:"); }},
      {"ObjPrint chosen", [](FakeView& v) { return v.Choose(Control::ObjPrint, 8); }},
      {"Tamanho", [](FakeView& v) { return v.Type(Control::Tamanho, "3"); }},
      {"ListModel", [](FakeView& v) { return v.Choose(Control::ListModel, 0); }},
      {"ListError", [](FakeView& v) { return v.Choose(Control::ListError, 3); }},
      {"chkNew", [](FakeView& v) { return v.Tick(Control::chkNew, true); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string lineBefore = view_[Control::lblSimbolo].toolTip;
    const std::string countBefore = view_[Control::lblNChar].text;
    const bool enabledBefore = view_[Control::Command1].enabled;
    ASSERT_TRUE(row.change(view_));
    const std::string line = view_[Control::lblSimbolo].toolTip;
    EXPECT_EQ(line, SymbolLineFor(model_.SettingsFromControls()).toolTip);
    EXPECT_EQ(view_[Control::lblNChar].text,
              std::to_string(TicketCharacterCount(view_[Control::Text1].text)));
    const bool named = view_[Control::ObjPrint].text.find_first_not_of(' ') != std::string::npos;
    EXPECT_EQ(view_[Control::Command1].enabled, named);
    EXPECT_EQ(view_[Control::cmdEstado].enabled, named);
    EXPECT_TRUE(line != lineBefore || view_[Control::lblNChar].text != countBefore ||
                view_[Control::Command1].enabled != enabledBefore)
        << "the change shows nowhere, so the row proves nothing";
  }
}

// The fake view is wired from the layout table as the windows are: every control of the table
// that the behaviour knows takes the operator's input of its kind and hands it to the model,
// and every item of the table's menus reaches it.
TEST_P(Form1ModelTest, EveryControlOfTheTableIsWired) {
  Type(Control::ObjPrint, dir_.File("ticket.bin"));  // enables the buttons
  for (const ControlSpec& spec : Form1Layout().controls) {
    if (spec.control == Control::None) continue;
    SCOPED_TRACE(std::string(spec.name));
    view_.reported.clear();
    bool taken = true;
    switch (spec.kind) {
      case ControlKind::TextBox:
      case ControlKind::MultiLineText:
      case ControlKind::EditableList:
        taken = view_.Type(spec.control, view_[spec.control].text);
        break;
      case ControlKind::FixedList: taken = view_.Choose(spec.control, 0); break;
      case ControlKind::CheckBox: taken = view_.Tick(spec.control, true); break;
      case ControlKind::Button: taken = view_.Click(spec.control); break;
      case ControlKind::Picture:
      case ControlKind::Label:
      case ControlKind::Frame: continue;  // shows values; takes no input
    }
    EXPECT_TRUE(taken);
    ASSERT_FALSE(view_.reported.empty());
    EXPECT_EQ(view_.reported.front(), spec.control);
  }
  EXPECT_NE(std::find(view_.calls.begin(), view_.calls.end(), "close"), view_.calls.end())
      << "Fechar closes the window";
  Type(Control::ObjPrint, " ");  // a menu's item then does nothing, but is still heard
  for (const MenuSpec& menu : Form1Layout().menus) {
    for (const MenuItemSpec& item : menu.items) {
      SCOPED_TRACE(std::string(item.name));
      EXPECT_EQ(view_.ChooseFromMenu(menu.owner, item.item), Offered(menu));
    }
  }
}

TEST_P(Form1ModelTest, SymbolLineFollowsTheValues) {
  const std::string before = view_[Control::lblSimbolo].text;
  Type(Control::Tamanho, "0");
  EXPECT_NE(view_[Control::lblSimbolo].text, before);
  EXPECT_EQ(view_[Control::lblSimbolo].text, SymbolLineFor(model_.SettingsFromControls()).text);
  const std::string toolTip = view_[Control::lblSimbolo].toolTip;
  ASSERT_TRUE(view_.Tick(Control::chkNew, true));
  EXPECT_NE(view_[Control::lblSimbolo].toolTip, toolTip);
  EXPECT_EQ(view_[Control::lblSimbolo].toolTip,
            SymbolLineFor(model_.SettingsFromControls()).toolTip);
}

// The print button's raster item: a tick the model keeps, the symbol line of the image, and
// the image in the printed and the previewed ticket; a second choice brings the commands back.
TEST_P(Form1ModelTest, RasterItemTogglesTheImage) {
  const std::string file = dir_.File("ticket.bin");
  Type(Control::ObjPrint, file);
  Click(Control::Command1);
  const Bytes commands = testing::ReadFileBytes(file);
  const std::string commandsLine = view_[Control::lblSimbolo].text;
  EXPECT_FALSE(model_.Checked(MenuItem::RasterSymbol));

  ChooseFromMenu(Control::Command1, MenuItem::RasterSymbol);
  EXPECT_TRUE(model_.Checked(MenuItem::RasterSymbol));
  EXPECT_EQ(model_.SettingsFromControls().symbolImage, &DrawTicketSymbol);
  EXPECT_EQ(view_[Control::lblSimbolo].text.rfind("Imagem, versão 9\n", 0), 0u)
      << view_[Control::lblSimbolo].text;
  EXPECT_EQ(view_[Control::lblSimbolo].toolTip,
            SymbolLineFor(model_.SettingsFromControls()).toolTip);
  Click(Control::Command1);
  EXPECT_EQ(testing::ReadFileBytes(file), testing::TicketBytes(model_.SettingsFromControls()));
  EXPECT_NE(testing::ReadFileBytes(file).find(Bytes("\x1Dv0\0", 4)), Bytes::npos);
  EXPECT_TRUE(view_.messages.empty());  // the tick says it: no box

  view_.canPreview = true;
  Type(Control::ObjPrint, "VISUALIZAR:");
  Click(Control::Command1);
  ASSERT_EQ(view_.previewed.size(), 1u);
  EXPECT_EQ(view_.previewed[0].symbolImage, &DrawTicketSymbol);

  ChooseFromMenu(Control::Command1, MenuItem::RasterSymbol);
  EXPECT_FALSE(model_.Checked(MenuItem::RasterSymbol));
  EXPECT_EQ(model_.SettingsFromControls().symbolImage, nullptr);
  EXPECT_EQ(view_[Control::lblSimbolo].text, commandsLine);
  Type(Control::ObjPrint, file);
  Click(Control::Command1);
  EXPECT_EQ(testing::ReadFileBytes(file), commands);
  EXPECT_TRUE(reporter_.messages.empty());
}

// An image the program cannot draw (Micro QR) fails the print with one box, and nothing is sent.
TEST_P(Form1ModelTest, RasterWithMicroQrIsRefused) {
  const std::string file = dir_.File("ticket.bin");
  Type(Control::ObjPrint, file);
  ChooseFromMenu(Control::Command1, MenuItem::RasterSymbol);
  ASSERT_TRUE(view_.Choose(Control::ListModel, 2));
  EXPECT_NE(view_[Control::lblSimbolo].text.find("Micro QR"), std::string::npos)
      << view_[Control::lblSimbolo].text;
  Click(Control::Command1);
  ASSERT_EQ(reporter_.messages.size(), 1u);
  EXPECT_NE(reporter_.messages[0].find("não se desenha como imagem"), std::string::npos)
      << reporter_.messages[0];
  EXPECT_FALSE(std::filesystem::exists(file));
}

// The sample text is an invoice code: the line ends with the Portaria 195/2020 verdict, and the
// tool tip measures the width at the density chosen from the line's own menu.
TEST_P(Form1ModelTest, SymbolLineJudgesThePortariaAtTheChosenDensity) {
  if (!HaveSymbolFacts()) GTEST_SKIP() << "no symbol facts in this build";
  const auto holds = [this](const std::string& piece) {
    return view_[Control::lblSimbolo].toolTip.find(piece) != std::string::npos;
  };
  EXPECT_TRUE(view_[Control::lblSimbolo].text.ends_with("\nPortaria: não cumpre"));
  EXPECT_TRUE(holds("\nPortaria 195/2020: não cumpre\nH: ATCUD sem hífen"));
  EXPECT_TRUE(holds("\nDensidade da impressora: 203 ppp"));
  EXPECT_FALSE(holds("mm de largura"));  // 294 dots are 36.8 mm at 203 dpi
  ASSERT_TRUE(view_.ChooseFromMenu(Control::lblSimbolo, MenuItem::Dpi300));
  EXPECT_TRUE(holds("\nSímbolo: 24,8 mm de largura a 300 ppp"));
  EXPECT_TRUE(holds("\nDensidade da impressora: 300 ppp"));
  Type(Control::Tamanho, "9");  // the density stays through other changes
  EXPECT_TRUE(holds("\nDensidade da impressora: 300 ppp"));
  EXPECT_FALSE(holds("mm de largura"));
  ASSERT_TRUE(view_.ChooseFromMenu(Control::lblSimbolo, MenuItem::Dpi180));
  EXPECT_TRUE(holds("\nDensidade da impressora: 180 ppp"));
  Type(Control::Text1, "https://example.pt");
  EXPECT_FALSE(view_[Control::lblSimbolo].text.ends_with("cumpre"));
  EXPECT_FALSE(holds("Portaria"));
}

INSTANTIATE_TEST_SUITE_P(Views, Form1ModelTest, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "ReportingChanges" : "Silent");
                         });

}  // namespace
}  // namespace qrticket::ui
