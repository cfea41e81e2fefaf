// Form1's behaviour (see form1_model.h).
#include "form1_model.h"

#include <string>

#include "device_entries.h"
#include "devices/code_tables.h"
#include "devices/device_name.h"
#include "form_layout.h"
#include "form_text.h"
#include "form_texts.h"
#include "speed_search_message.h"
#include "status/status_texts.h"
#include "status_message.h"
#include "symbol_image.h"
#include "symbol_line.h"
#include "symbols/qr_symbol_types.h"
#include "ticket/code_table_ticket.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::ui {
namespace {

// ObjPrint's empty entry, the last of the fixed ones, chosen at load.
constexpr int kEmptyDeviceEntry = kFixedDeviceEntries - 1;

// Sets the busy cursor for as long as it lives.
class Busy {
 public:
  explicit Busy(Form1View& view) : view_(view) { view_.SetBusy(true); }
  ~Busy() { view_.SetBusy(false); }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Form1View& view_;
};

}  // namespace

bool Offered(const MenuSpec& menu) { return !menu.needsSymbols || HaveSymbolFacts(); }

void Form1Model::Load() {
  view_.SetText(Control::Text1, kSampleDataText);
  Text1Change();  // a program's change of a multi-line box reports nothing on Windows

  view_.SetEntries(Control::ObjPrint, Form1Row(Control::ObjPrint).entries);
  view_.Select(Control::ObjPrint, kEmptyDeviceEntry);
  view_.SetText(Control::ObjPrint, "");
  PortRule();  // choosing by program reports nothing on Windows, nor when already chosen

  view_.SetText(Control::Tamanho, kDefaultModuleSizeText);
  view_.Select(Control::ListError, kDefaultErrorLevelIndex);
  view_.Select(Control::ListModel, kDefaultModelIndex);
  loaded_ = true;
  RefreshSymbolLine();
}

void Form1Model::Text1Change() {
  view_.SetText(Control::lblNChar,
                std::to_string(TicketCharacterCount(view_.Text(Control::Text1))));
  RefreshSymbolLine();
}

void Form1Model::Changed(Control control) {
  switch (control) {
    case Control::Text1: Text1Change(); break;
    case Control::ObjPrint: PortRule(); break;
    case Control::Tamanho:
    case Control::ListModel:
    case Control::ListError:
    case Control::chkNew: RefreshSymbolLine(); break;
    default: break;  // read when a job starts
  }
}

void Form1Model::Clicked(Control control) {
  switch (control) {
    case Control::Command1: Print(); break;
    case Control::cmdEstado: AskStatus(); break;
    case Control::Command2: view_.Close(); break;
    default: break;
  }
}

void Form1Model::Chosen(MenuItem item) {
  switch (item) {
    case MenuItem::Limits80: PrintLimits(kPaper80mmDots); break;
    case MenuItem::Limits58: PrintLimits(kPaper58mmDots); break;
    case MenuItem::FindSpeed: FindSpeed(); break;
    case MenuItem::CodeTablesTicket: PrintCodeTableTicket(); break;
    case MenuItem::CodeTableNone: ChooseCodeTable(std::nullopt); break;
    case MenuItem::CodeTable0: ChooseCodeTable(0); break;
    case MenuItem::CodeTable2: ChooseCodeTable(2); break;
    case MenuItem::CodeTable3: ChooseCodeTable(3); break;
    case MenuItem::CodeTable16: ChooseCodeTable(16); break;
    case MenuItem::CodeTable19: ChooseCodeTable(19); break;
    case MenuItem::CodeTable40: ChooseCodeTable(40); break;
    case MenuItem::Dpi180: ChooseDpi(180); break;
    case MenuItem::Dpi203: ChooseDpi(203); break;
    case MenuItem::Dpi300: ChooseDpi(300); break;
    case MenuItem::RasterSymbol:
      raster_ = !raster_;
      RefreshSymbolLine();
      break;
  }
}

bool Form1Model::Checked(MenuItem item) const {
  return item == MenuItem::RasterSymbol && raster_;
}

void Form1Model::PortRule() {
  const bool named = HasTextBesidesSpaces(view_.Text(Control::ObjPrint));
  view_.SetEnabled(Control::Command1, named);
  view_.SetEnabled(Control::cmdEstado, named);
}

void Form1Model::RefreshSymbolLine() {
  if (!loaded_ || !HaveSymbolFacts()) return;
  const SymbolLine line = SymbolLineFor(SettingsFromControls(), dpi_);
  view_.SetText(Control::lblSimbolo, line.text);
  view_.SetToolTip(Control::lblSimbolo, line.toolTip);
}

void Form1Model::ChooseDpi(int dpi) {
  dpi_ = dpi;
  RefreshSymbolLine();
}

QrPrintSettings Form1Model::SettingsFromControls() const {
  QrPrintSettings settings;
  settings.dataText = TicketBytesFromText(view_.Text(Control::Text1));
  settings.deviceName = view_.Text(Control::ObjPrint);
  settings.moduleSizeText = view_.Text(Control::Tamanho);
  settings.modelIndex = static_cast<std::int16_t>(view_.Selected(Control::ListModel));
  settings.errorLevelIndex = static_cast<std::int16_t>(view_.Selected(Control::ListError));
  settings.pageMode = view_.Ticked(Control::ChkPag);
  settings.centred = view_.Ticked(Control::chkCentrado);
  settings.woosimDialect = view_.Ticked(Control::chkNew);
  settings.codeTable = codeTable_;
  settings.symbolImage = raster_ ? SymbolImage() : nullptr;
  return settings;
}

// Runs the whole job inside the click, as the operator expects of a test tool: the window takes
// no input until the ticket is out or its failure has been shown.
void Form1Model::Print() {
  if (!HasTextBesidesSpaces(view_.Text(Control::ObjPrint))) return;
  const QrPrintSettings settings = SettingsFromControls();
  std::string withoutSymbol;
  {
    const Busy busy(view_);
    if (view_.CanPreview() && IsPreviewDeviceName(settings.deviceName)) {
      view_.PreviewTicket(settings, reporter_);
      return;
    }
    withoutSymbol = WhyPrintedWithoutSymbol(settings, PrintQrTest(settings, reporter_));
  }
  // The device took the ticket; without this box the operator would learn only from the paper
  // that it carries no symbol.
  if (!withoutSymbol.empty()) view_.ShowMessage(texts::PrintedWithoutSymbol(withoutSymbol));
}

void Form1Model::AskStatus() {
  const std::string device = view_.Text(Control::ObjPrint);
  if (!HasTextBesidesSpaces(device)) return;
  std::string message;
  {
    const Busy busy(view_);
    message = StatusMessage(device);
  }
  view_.ShowMessage(message);
}

void Form1Model::FindSpeed() {
  const std::string device = view_.Text(Control::ObjPrint);
  if (!HasTextBesidesSpaces(device)) return;
  // The warning promises a search: a name that is no serial line ("VISUALIZAR:", a file, a
  // name with settings already) gets the search's refusal alone, which comes before any try.
  const DeviceTarget target = ResolveDeviceName(device);
  if (IsSerialDevice(target) && !target.serial) view_.ShowMessage(SpeedSearchWarning());
  SpeedSearchOutcome outcome;
  {
    const Busy busy(view_);
    // 3 to 8 s under the busy cursor: the title says which settings are being tried.
    outcome = SearchSpeed(device, view_.CancelFd(), [this](std::string_view tried) {
      view_.SetTitle(texts::SpeedSearchTitle(tried));
      view_.KeepResponding();
    });
    view_.SetTitle(Form1Layout().caption);
  }
  if (outcome.interrupted) return;
  if (outcome.found) {
    view_.SetText(Control::ObjPrint, *outcome.found);
    PortRule();
  }
  view_.ShowMessage(outcome.message);
}

void Form1Model::PrintLimits(int paperDots) {
  const QrPrintSettings settings = SettingsFromControls();
  if (!HasTextBesidesSpaces(settings.deviceName)) return;
  const Busy busy(view_);
  if (view_.CanPreview() && IsPreviewDeviceName(settings.deviceName)) {
    view_.PreviewProbe(settings, paperDots, reporter_);
  } else {
    PrintLimitsTicket(settings, paperDots, reporter_);
  }
}

void Form1Model::PrintCodeTableTicket() {
  const std::string device = view_.Text(Control::ObjPrint);
  if (!HasTextBesidesSpaces(device)) return;
  const Busy busy(view_);
  if (view_.CanPreview() && IsPreviewDeviceName(device)) {
    view_.PreviewCodeTables();
  } else {
    PrintCodeTables(device, reporter_);
  }
}

void Form1Model::ChooseCodeTable(std::optional<int> table) {
  codeTable_ = table;
  const CodeTableInfo* info = table ? FindCodeTable(*table) : nullptr;
  view_.ShowMessage(texts::CodeTableChosenMessage(table, info ? info->name : ""));
}

}  // namespace qrticket::ui
