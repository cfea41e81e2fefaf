// Form1, the main window: the data text, the device, the QR parameters and the print button.
#pragma once

#include <QWidget>
#include <memory>

#include "preview_hook.h"
#include "ticket/qr_print_settings.h"
#include "ticket/ticket_job.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qrticket::ui {

class Form1 final : public QWidget {
  Q_OBJECT

 public:
  // Loads the window (its controls take their starting values); show() puts it on screen.
  // Failed print jobs go to `reporter`, by default a modal message box.
  explicit Form1(std::unique_ptr<FailureReporter> reporter = nullptr, QWidget* parent = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // What a print would send now: the controls' values as the ticket job takes them.
  QrPrintSettings SettingsFromControls() const;

  // Where "VISUALIZAR:" goes; without a hook that name is opened like any other.
  void SetPreviewHook(PreviewHook hook) { previewHook_ = std::move(hook); }

 private:
  void CreateControls();
  void SetTabOrder();
  void Load();

  void Text1Change();
  void PortRule();
  void Command1Click();
  void CmdEstadoClick();

  std::unique_ptr<FailureReporter> reporter_;
  PreviewHook previewHook_;

  QLabel* Image1_ = nullptr;
  QLabel* Label3_ = nullptr;
  QLabel* Label5_ = nullptr;
  QLabel* Label1_ = nullptr;
  QLabel* lblNChar_ = nullptr;
  QPlainTextEdit* Text1_ = nullptr;
  QGroupBox* Frame1_ = nullptr;
  QLabel* Label2_ = nullptr;
  QComboBox* ObjPrint_ = nullptr;
  QLabel* Label6_ = nullptr;
  QLineEdit* Tamanho_ = nullptr;
  QLabel* Label7_ = nullptr;
  QComboBox* ListModel_ = nullptr;
  QLabel* Label8_ = nullptr;
  QComboBox* ListError_ = nullptr;
  QCheckBox* ChkPag_ = nullptr;
  QCheckBox* chkCentrado_ = nullptr;
  QCheckBox* chkNew_ = nullptr;
  QPushButton* Command1_ = nullptr;
  QPushButton* Command2_ = nullptr;
  QPushButton* cmdEstado_ = nullptr;  // beside Command2: asks the printer for its status
  QLabel* Label4_ = nullptr;
  QComboBox* Combo3_ = nullptr;
  QCheckBox* Check1_ = nullptr;
};

}  // namespace qrticket::ui
