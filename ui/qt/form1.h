// Form1, the main window on Qt: the controls of the layout table, a thin view over Form1Model.
#pragma once

#include <QWidget>
#include <memory>

#include "form1_model.h"
#include "preview_hook.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

namespace qrticket::ui {

class Form1 final : public QWidget, private Form1View {
  Q_OBJECT

 public:
  // Loads the window (its controls take their starting values); show() puts it on screen.
  // Failed print jobs go to `reporter`, by default a modal message box.
  explicit Form1(std::unique_ptr<FailureReporter> reporter = nullptr, QWidget* parent = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // What a print would send now: the controls' values as the ticket job takes them.
  QrPrintSettings SettingsFromControls() const { return model_.SettingsFromControls(); }

  // Where "VISUALIZAR:" goes; without a hook that name is opened like any other.
  void SetPreviewHook(PreviewHook hook) { previewHook_ = std::move(hook); }

 private:
  void CreateControls();
  void SetTabOrder();
  void ConnectEvents();
  void AddMenus();
  // Closing the window during a long action ends it (see Form1View::CancelFd).
  void closeEvent(QCloseEvent* event) override;
  QWidget* Widget(Control control) const;

  // Form1View
  std::string Text(Control control) const override;
  void SetText(Control control, std::string_view text) override;
  int Selected(Control control) const override;
  void Select(Control control, int position) override;
  void SetEntries(Control control, std::span<const std::string_view> entries) override;
  bool Ticked(Control control) const override;
  void SetEnabled(Control control, bool enabled) override;
  void SetToolTip(Control control, std::string_view text) override;
  void SetTitle(std::string_view title) override;
  void SetBusy(bool busy) override;
  void Close() override { close(); }
  void ShowMessage(const std::string& message) override;
  bool CanPreview() const override { return static_cast<bool>(previewHook_); }
  void PreviewTicket(const QrPrintSettings& settings, FailureReporter& reporter) override;
  void PreviewCodeTables() override;
  void PreviewProbe(const QrPrintSettings& settings, int paperDots,
                    FailureReporter& reporter) override;
  void KeepResponding() override;
  int CancelFd() const override { return cancel_[0]; }

  // Written once the window closes: a long action under way then ends.
  int cancel_[2] = {-1, -1};
  std::unique_ptr<FailureReporter> reporter_;
  PreviewHook previewHook_;
  Form1Model model_;
};

}  // namespace qrticket::ui
