// Form1's behaviour: the load steps, the count, the port rule and the print action.
#include "form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "app_identity.h"
#include "disabled_caption.h"
#include "enter_presses_button.h"
#include "message_box_reporter.h"
#include "status_box.h"
#include "symbol_facts_line.h"
#include "ticket/ticket_defaults.h"
#include "ticket_text.h"
#include "window_activation.h"
#include "window_placement.h"

namespace qrticket::ui {

Form1::Form1(std::unique_ptr<FailureReporter> reporter, QWidget* parent)
    : QWidget(parent),
      reporter_(reporter ? std::move(reporter) : std::make_unique<MessageBoxReporter>()) {
  CreateControls();
  SetTabOrder();

  connect(Text1_, &QPlainTextEdit::textChanged, this, &Form1::Text1Change);
  connect(ObjPrint_, &QComboBox::editTextChanged, this, &Form1::PortRule);
  connect(ObjPrint_, &QComboBox::currentIndexChanged, this, &Form1::PortRule);
  connect(Command1_, &QPushButton::clicked, this, &Form1::Command1Click);
  connect(Command2_, &QPushButton::clicked, this, &QWidget::close);
  connect(cmdEstado_, &QPushButton::clicked, this, &Form1::CmdEstadoClick);

  Load();
  AttachSymbolFacts(*this, *reporter_, [this] { return static_cast<bool>(previewHook_); });
  Text1_->setFocus();
  CentreOnScreen(*this);
  KeepOffTaskBar(*this);
  KeepActive(*this);
  KeepDisabledCaptionsReadable(*this);
  PressFocusedButtonOnEnter(*this);
}

Form1::~Form1() = default;

void Form1::Load() {
  Text1_->setPlainText(QString::fromLatin1(kSampleDataText));

  ObjPrint_->clear();
  ObjPrint_->addItems({QStringLiteral("LPT1:"), QStringLiteral("LPT2:"), QStringLiteral("COM1:"),
                       QStringLiteral("COM2:"), QStringLiteral("COM3:"), QStringLiteral("COM4:"),
                       QStringLiteral("COM5:"), QStringLiteral("COM6:"), QString()});
  ObjPrint_->setCurrentIndex(8);
  ObjPrint_->setEditText(QString());
  PortRule();  // the empty entry may already have been current, which signals nothing

  Tamanho_->setText(QString::fromLatin1(kDefaultModuleSizeText));
  ListError_->setCurrentIndex(kDefaultErrorLevelIndex);
  ListModel_->setCurrentIndex(kDefaultModelIndex);
}

void Form1::Text1Change() {
  lblNChar_->setText(QString::number(TicketCharacterCount(TextAsTyped(*Text1_->document()))));
}

void Form1::PortRule() {
  const bool named = HasTextBesidesSpaces(ObjPrint_->currentText());
  Command1_->setEnabled(named);
  cmdEstado_->setEnabled(named);
}

QrPrintSettings Form1::SettingsFromControls() const {
  QrPrintSettings settings;
  settings.dataText = TicketBytesFromText(TextAsTyped(*Text1_->document()));
  settings.deviceName = DeviceNameFromText(ObjPrint_->currentText());
  settings.moduleSizeText = Tamanho_->text().toStdString();
  settings.modelIndex = static_cast<std::int16_t>(ListModel_->currentIndex());
  settings.errorLevelIndex = static_cast<std::int16_t>(ListError_->currentIndex());
  // Only a tick counts: a greyed (partially checked) box is false, like an empty one.
  settings.pageMode = ChkPag_->checkState() == Qt::Checked;
  settings.centred = chkCentrado_->checkState() == Qt::Checked;
  settings.woosimDialect = chkNew_->checkState() == Qt::Checked;
  return settings;
}

// Runs the whole job inside the click, as the operator expects of a test tool: the window takes
// no input until the ticket is out or its failure has been shown.
void Form1::Command1Click() {
  const QString deviceText = ObjPrint_->currentText();
  if (!HasTextBesidesSpaces(deviceText)) return;
  const QrPrintSettings settings = SettingsFromControls();

  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (previewHook_ && IsPreviewDeviceName(deviceText)) {
    previewHook_(settings, *reporter_);
  } else {
    PrintQrTest(settings, *reporter_);
  }
  QGuiApplication::restoreOverrideCursor();
}

// Asks the printer in the device box, bounded to a few seconds, and shows its answer in one box.
void Form1::CmdEstadoClick() {
  const QString deviceText = ObjPrint_->currentText();
  if (!HasTextBesidesSpaces(deviceText)) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  const QString message = StatusMessage(deviceText);
  QGuiApplication::restoreOverrideCursor();
  ShowStatusBox(message, this);
}

}  // namespace qrticket::ui
