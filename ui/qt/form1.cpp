// Form1 on Qt: the controls' events go to Form1Model, which reads and sets them through the
// Form1View calls below.
#include "form1.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "disabled_caption.h"
#include "enter_presses_button.h"
#include "message_box_reporter.h"
#include "status_box.h"
#include "symbol_line.h"
#include "ticket_text.h"
#include "window_activation.h"
#include "window_placement.h"
#ifdef QRTICKET_HAVE_VIEWER
#include "ticket_preview.h"
#endif

namespace qrticket::ui {

Form1::Form1(std::unique_ptr<FailureReporter> reporter, QWidget* parent)
    : QWidget(parent),
      reporter_(reporter ? std::move(reporter) : std::make_unique<MessageBoxReporter>()),
      model_(*this, *reporter_) {
  CreateControls();
  SetTabOrder();
  ConnectEvents();
  AddMenus();
  if (::pipe2(cancel_, O_CLOEXEC | O_NONBLOCK) != 0) cancel_[0] = cancel_[1] = -1;

  model_.Load();
  Widget(Control::Text1)->setFocus();
  CentreOnScreen(*this);
  KeepOffTaskBar(*this);
  KeepActive(*this);
  KeepDisabledCaptionsReadable(*this);
  if (Form1Layout().enterPressesButtons) PressFocusedButtonOnEnter(*this);
}

Form1::~Form1() {
  for (const int fd : cancel_)
    if (fd >= 0) ::close(fd);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (cancel_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(cancel_[1], &byte, 1);
  }
  QWidget::closeEvent(event);
}

void Form1::KeepResponding() {
  // Typing and clicks wait; a close from the window manager comes through.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QWidget* Form1::Widget(Control control) const {
  const std::string_view name = Form1Row(control).name;
  return findChild<QWidget*>(QLatin1String(name.data(), static_cast<qsizetype>(name.size())));
}

// Each control the behaviour knows reports its changes, or its clicks, in the way its kind has.
void Form1::ConnectEvents() {
  for (const ControlSpec& spec : Form1Layout().controls) {
    if (spec.control == Control::None) continue;
    const Control control = spec.control;
    QWidget* widget = Widget(control);
    const auto changed = [this, control] { model_.Changed(control); };
    switch (spec.kind) {
      case ControlKind::MultiLineText:
        connect(qobject_cast<QPlainTextEdit*>(widget), &QPlainTextEdit::textChanged, this, changed);
        break;
      case ControlKind::TextBox:
        connect(qobject_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this, changed);
        break;
      case ControlKind::EditableList:
        connect(qobject_cast<QComboBox*>(widget), &QComboBox::editTextChanged, this, changed);
        [[fallthrough]];
      case ControlKind::FixedList:
        connect(qobject_cast<QComboBox*>(widget), &QComboBox::currentIndexChanged, this, changed);
        break;
      case ControlKind::CheckBox:
        connect(qobject_cast<QCheckBox*>(widget), &QCheckBox::stateChanged, this, changed);
        break;
      case ControlKind::Button:
        connect(qobject_cast<QPushButton*>(widget), &QPushButton::clicked, this,
                [this, control] { model_.Clicked(control); });
        break;
      case ControlKind::Picture:
      case ControlKind::Label:
      case ControlKind::Frame: break;
    }
  }
}

std::string Form1::Text(Control control) const {
  QWidget* widget = Widget(control);
  if (auto* text = qobject_cast<QPlainTextEdit*>(widget))
    return TextAsTyped(*text->document()).toStdString();
  if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText().toStdString();
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  return {};
}

void Form1::SetText(Control control, std::string_view text) {
  const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QWidget* widget = Widget(control);
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    box->setPlainText(value);
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    list->setEditText(value);
  } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    line->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  }
}

int Form1::Selected(Control control) const {
  return qobject_cast<QComboBox*>(Widget(control))->currentIndex();
}

void Form1::Select(Control control, int position) {
  qobject_cast<QComboBox*>(Widget(control))->setCurrentIndex(position);
}

void Form1::SetEntries(Control control, std::span<const std::string_view> entries) {
  auto* list = qobject_cast<QComboBox*>(Widget(control));
  list->clear();
  for (const std::string_view entry : entries)
    list->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
}

bool Form1::Ticked(Control control) const {
  return qobject_cast<QCheckBox*>(Widget(control))->checkState() == Qt::Checked;
}

void Form1::SetEnabled(Control control, bool enabled) { Widget(control)->setEnabled(enabled); }

void Form1::SetToolTip(Control control, std::string_view text) {
  Widget(control)->setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Form1::SetTitle(std::string_view title) {
  setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void Form1::SetBusy(bool busy) {
  if (busy) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QGuiApplication::restoreOverrideCursor();
  }
}

void Form1::ShowMessage(const std::string& message) {
  ShowStatusBox(QString::fromStdString(message), this);
}

void Form1::PreviewTicket(const QrPrintSettings& settings, FailureReporter& reporter) {
  previewHook_(settings, reporter);
}

void Form1::PreviewCodeTables() {
#ifdef QRTICKET_HAVE_VIEWER
  ShowCodeTablesPreview(this);
#endif
}

void Form1::PreviewProbe(const QrPrintSettings& settings, int paperDots,
                         FailureReporter& reporter) {
#ifdef QRTICKET_HAVE_VIEWER
  ShowProbePreview(settings, paperDots, reporter, this);
#else
  PrintLimitsTicket(settings, paperDots, reporter);
#endif
}

}  // namespace qrticket::ui
