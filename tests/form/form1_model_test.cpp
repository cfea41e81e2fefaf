// Form1's behaviour without any window: a view of plain values stands in for the controls,
// once reporting the model's own changes back as events (as Qt does) and once not (as Win32
// does for a multi-line box and a list chosen by program). Jobs write real files.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "form1_model.h"
#include "form_layout.h"
#include "recording_reporter.h"
#include "symbol_line.h"
#include "symbols/probe_ticket.h"
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

// Controls as plain values; `echo` hands every change the model makes back to it as the
// control's event.
class FakeView final : public Form1View {
 public:
  // The lists hold their design-time entries, as a view makes them from the layout table.
  explicit FakeView(bool echo) : echo_(echo) {
    for (Control list : {Control::ObjPrint, Control::ListModel, Control::ListError}) {
      const ControlSpec* spec = FindControl(Form1Layout(), ControlName(list));
      controls_[list].entries.assign(spec->entries.begin(), spec->entries.end());
    }
  }
  void Attach(Form1Model& model) { model_ = &model; }

  FakeControl& operator[](Control control) { return controls_[control]; }
  std::vector<std::string> calls;  // SetBusy, ShowMessage and the previews, in order
  std::vector<std::string> messages;
  std::vector<QrPrintSettings> previewed;
  bool canPreview = false;

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
  void SetBusy(bool busy) override { calls.push_back(busy ? "busy" : "idle"); }
  void ShowMessage(const std::string& message) override {
    calls.push_back("message");
    messages.push_back(message);
  }
  bool CanPreview() const override { return canPreview; }
  void PreviewTicket(const QrPrintSettings& settings, FailureReporter&) override {
    calls.push_back("preview");
    previewed.push_back(settings);
  }
  void PreviewProbe(const QrPrintSettings& settings, int paperDots, FailureReporter&) override {
    calls.push_back("probe preview " + std::to_string(paperDots));
    previewed.push_back(settings);
  }

 private:
  void Echo(Control control) {
    if (!echo_ || model_ == nullptr) return;
    switch (control) {
      case Control::Text1: model_->Text1Change(); break;
      case Control::ObjPrint: model_->ObjPrintChange(); break;
      case Control::Tamanho:
      case Control::ListModel:
      case Control::ListError: model_->SymbolValuesChange(); break;
      default: break;
    }
  }

  bool echo_;
  Form1Model* model_ = nullptr;
  mutable std::map<Control, FakeControl> controls_;  // a control not yet touched is as drawn
};

class Form1ModelTest : public ::testing::TestWithParam<bool> {
 protected:
  Form1ModelTest() : view_(GetParam()), model_(view_, reporter_) {
    view_.Attach(model_);
    // Command1 and cmdEstado start enabled, as drawn: the load steps must disable them.
    model_.Load();
  }
  // The operator's typing: the control changes and reports it.
  void Type(Control control, std::string text) {
    view_[control].text = std::move(text);
    if (control == Control::Text1) model_.Text1Change();
    if (control == Control::ObjPrint) {
      view_[control].selected = -1;
      model_.ObjPrintChange();
    }
    if (control == Control::Tamanho) model_.SymbolValuesChange();
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
  view_.Select(Control::ObjPrint, 0);  // a choice the view may not report: the model is told
  model_.ObjPrintChange();
  EXPECT_TRUE(view_[Control::Command1].enabled);
  view_.Select(Control::ObjPrint, 8);
  model_.ObjPrintChange();
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
  model_.Command1Click();
  EXPECT_TRUE(reporter_.messages.empty());
  QrPrintSettings expected = model_.SettingsFromControls();
  EXPECT_EQ(testing::ReadFileBytes(file), testing::TicketBytes(expected));
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle"}));
}

TEST_P(Form1ModelTest, FailedPrintIsReportedOnceAndTheCursorComesBack) {
  Type(Control::ObjPrint, dir_.File("no-such-folder/ticket.bin"));
  model_.Command1Click();
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
    model_.Command1Click();
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
    model_.FindSpeedClick();
    ASSERT_EQ(view_.messages.size(), 1U);
    EXPECT_NE(view_.messages[0].find("não é uma porta série"), std::string::npos)
        << view_.messages[0];
  }
}

TEST_P(Form1ModelTest, BlankDeviceDoesNothing) {
  Type(Control::ObjPrint, "  ");
  model_.Command1Click();
  model_.CmdEstadoClick();
  model_.ProbeClick(kPaper80mmDots);
  EXPECT_TRUE(view_.calls.empty());
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_P(Form1ModelTest, PreviewNameGoesToTheViewWhereItCanShowIt) {
  view_.canPreview = true;
  Type(Control::ObjPrint, " visualizar: ");
  model_.Command1Click();
  model_.ProbeClick(kPaper58mmDots);
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "preview", "idle", "busy",
                                                   "probe preview 384", "idle"}));
  ASSERT_EQ(view_.previewed.size(), 2U);
  EXPECT_EQ(view_.previewed[0].deviceName, " visualizar: ");
}

TEST_P(Form1ModelTest, StatusOfAFileSaysItCannotAnswer) {
  const std::string file = dir_.File("ticket.bin");
  Type(Control::ObjPrint, file);
  model_.CmdEstadoClick();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].rfind("Estado de " + file + ":\n", 0), 0U) << view_.messages[0];
  EXPECT_EQ(view_.calls, (std::vector<std::string>{"busy", "idle", "message"}))
      << "the box shows with the normal cursor";
  EXPECT_TRUE(testing::ReadFileBytes(file).empty());
}

TEST_P(Form1ModelTest, StatusOfThePreviewExplainsItself) {
  Type(Control::ObjPrint, "VISUALIZAR:");
  model_.CmdEstadoClick();
  ASSERT_EQ(view_.messages.size(), 1U);
  EXPECT_EQ(view_.messages[0].rfind("VISUALIZAR: mostra o talão no ecrã", 0), 0U);
}

TEST_P(Form1ModelTest, ProbeWritesTheLimitsTicket) {
  const std::string file = dir_.File("limites.bin");
  Type(Control::ObjPrint, file);
  model_.ProbeClick(kPaper58mmDots);
  EXPECT_TRUE(reporter_.messages.empty());
  EXPECT_EQ(testing::ReadFileBytes(file),
            ProbeTicketBytes(model_.SettingsFromControls(), kPaper58mmDots));
}

TEST_P(Form1ModelTest, SymbolLineFollowsTheValues) {
  const std::string before = view_[Control::lblSimbolo].text;
  Type(Control::Tamanho, "0");
  EXPECT_NE(view_[Control::lblSimbolo].text, before);
  EXPECT_EQ(view_[Control::lblSimbolo].text, SymbolLineFor(model_.SettingsFromControls()).text);
  view_[Control::chkNew].ticked = true;
  model_.SymbolValuesChange();
  EXPECT_EQ(view_[Control::lblSimbolo].toolTip,
            SymbolLineFor(model_.SettingsFromControls()).toolTip);
}

INSTANTIATE_TEST_SUITE_P(Views, Form1ModelTest, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "ReportingChanges" : "Silent");
                         });

}  // namespace
}  // namespace qrticket::ui
