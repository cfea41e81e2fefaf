// Form1's behaviour, without a toolkit: the load steps, the count, the port rule, the settings a
// print takes, the print, status, speed-search and limits-ticket actions and the live symbol
// line. A view (Qt on Linux, Win32 on Windows) shows the controls, wires their events and its
// menus from the layout table (form_layout.h) to Changed, Clicked and Chosen, and lets the model
// read and change the controls through Form1View, the few calls both toolkits have.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "form_layout.h"
#include "portaria/portaria_symbol.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

// Whether this build offers `menu` (some need the symbols room).
bool Offered(const MenuSpec& menu);

// What the behaviour asks of a window. Texts are UTF-8; a multi-line text may break its lines
// with LF or CR LF. A view may or may not report the changes the model makes itself: the model
// runs the rules that follow a change on its own, and every handler may run twice.
class Form1View {
 public:
  virtual ~Form1View() = default;

  virtual std::string Text(Control control) const = 0;
  virtual void SetText(Control control, std::string_view text) = 0;
  // A list's selected position, -1 for none.
  virtual int Selected(Control control) const = 0;
  virtual void Select(Control control, int position) = 0;
  // Empties a list and adds `entries` at positions 0, 1, ...
  virtual void SetEntries(Control control, std::span<const std::string_view> entries) = 0;
  // A check box: only a tick counts (a greyed box is unticked).
  virtual bool Ticked(Control control) const = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetToolTip(Control control, std::string_view text) = 0;
  // The window's title bar.
  virtual void SetTitle(std::string_view title) = 0;

  // The busy cursor, while an action runs inside its click.
  virtual void SetBusy(bool busy) = 0;
  // Closes the window, which ends the program.
  virtual void Close() = 0;
  // One modal box: `message`, an OK button only, no icon, the application's title.
  virtual void ShowMessage(const std::string& message) = 0;
  // Whether "VISUALIZAR:" shows tickets on screen; where it does not, it is a file name.
  virtual bool CanPreview() const = 0;
  // The ticket, or the limits ticket on paper `paperDots` wide, on screen; failures go to
  // `reporter` as a print's would.
  virtual void PreviewTicket(const QrPrintSettings& settings, FailureReporter& reporter) = 0;
  virtual void PreviewProbe(const QrPrintSettings& settings, int paperDots,
                            FailureReporter& reporter) = 0;
  // The code-table ticket on screen.
  virtual void PreviewCodeTables() = 0;
  // A long action (the speed search) lets the window answer between its steps, so that it can
  // be closed; closing it then makes `CancelFd()` readable, which ends the action.
  virtual void KeepResponding() {}
  virtual int CancelFd() const { return -1; }
};

class Form1Model final {
 public:
  // Failed jobs go to `reporter`. Both must outlive the model.
  Form1Model(Form1View& view, FailureReporter& reporter) : view_(view), reporter_(reporter) {}
  Form1Model(const Form1Model&) = delete;
  Form1Model& operator=(const Form1Model&) = delete;

  // The load steps: the sample text, the nine ports with the empty one chosen, size "6",
  // level M, Modelo 2; the count, the port rule and the symbol line follow.
  void Load();

  // A control of the table changed, typed or set: Text1 updates the count, then the symbol line;
  // ObjPrint runs the port rule; Tamanho, ListModel, ListError and chkNew update the symbol
  // line. The rest is read when a job starts.
  void Changed(Control control);
  // A push button was clicked: Command1 prints, cmdEstado asks the status, Command2 closes.
  void Clicked(Control control);
  // An item of a context menu was chosen: the limits ticket on either paper, the speed search,
  // the code-table ticket, the code table the window's tickets select until it closes, or the
  // printer's density the symbol line measures the Portaria 195/2020 width at; the raster item
  // toggles the symbol as the program's image and updates the symbol line.
  void Chosen(MenuItem item);
  // Whether a checkable menu item shows its tick (a view asks before it opens the menu).
  bool Checked(MenuItem item) const;

  // What a print would send now: the controls' values as the ticket job takes them.
  QrPrintSettings SettingsFromControls() const;

 private:
  void Text1Change();
  void PortRule();
  void RefreshSymbolLine();
  // The print action: the whole job inside the click, under the busy cursor. "VISUALIZAR:"
  // shows the ticket instead, where the view can.
  void Print();
  // Asks the printer in the device box and shows its answer in one box.
  void AskStatus();
  // Warns, then searches the speed of the serial printer in the device box (up to 8 s), the
  // settings being tried in the title bar meanwhile: what was found goes into the box, and one box says what came of it. A window closed meanwhile
  // ends the search and shows nothing.
  void FindSpeed();
  // The limits ticket on paper `paperDots` wide, to the device in the box (or on screen).
  void PrintLimits(int paperDots);
  // The code-table ticket, to the device in the box (or on screen).
  void PrintCodeTableTicket();
  // The tickets select `table` from now on (none: no ESC t); a box says so.
  void ChooseCodeTable(std::optional<int> table);
  // The symbol line measures the Portaria 195/2020 width at `dpi` from now on.
  void ChooseDpi(int dpi);

  Form1View& view_;
  FailureReporter& reporter_;
  // The symbol line waits for the end of the load steps: before, the values are half set, and
  // each model and level measured costs time at start-up.
  bool loaded_ = false;
  // Held while the window is open; nothing is stored between runs.
  std::optional<int> codeTable_;
  int dpi_ = portaria::kDefaultDpi;  // the symbol line's density, 203 until chosen
  // The symbol as the program's image (GS v 0) in the window's tickets and their preview.
  bool raster_ = false;
};

}  // namespace qrticket::ui
