// The live symbol line and the limits ticket's menu (see symbol_facts_line.h).
#include "symbol_facts_line.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "fonts.h"
#include "form1.h"
#include "preview_hook.h"
#include "symbols/probe_job.h"
#include "symbols/symbol_facts.h"
#include "symbols/symbol_facts_text.h"
#include "ticket_text.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

// A tool tip shows at most this much of what a reader would show.
constexpr std::size_t kToolTipReaderText = 120;

struct ProbeChoice {
  const char* name;
  const char* caption;
  int paperDots;
};
constexpr ProbeChoice kProbeChoices[] = {
    {"actLimites80", "Imprimir talão de limites do QR (papel de 80 mm)", kPaper80mmDots},
    {"actLimites58", "Imprimir talão de limites do QR (papel de 58 mm)", kPaper58mmDots},
};

template <typename Control>
Control* Named(Form1& form, const char* name) {
  return form.findChild<Control*>(QLatin1String(name));
}

void PrintProbeFromWindow(Form1& form, FailureReporter& reporter, bool previewEnabled,
                          int paperDots) {
  const QrPrintSettings settings = form.SettingsFromControls();
  const QString device = QString::fromStdString(settings.deviceName);
  if (!HasTextBesidesSpaces(device)) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
#ifdef QRTICKET_HAVE_VIEWER
  if (previewEnabled && IsPreviewDeviceName(device)) {
    ShowProbePreview(settings, paperDots, reporter, &form);
    QGuiApplication::restoreOverrideCursor();
    return;
  }
#else
  (void)previewEnabled;
#endif
  PrintProbe(settings, paperDots, reporter);
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace

QString SymbolLineText(const QrPrintSettings& settings) {
  return QString::fromStdString(SymbolFactsLine(SymbolFactsFor(settings)));
}

QString SymbolLineToolTip(const QrPrintSettings& settings) {
  return QString::fromStdString(SymbolFactsReport(SymbolFactsFor(settings), kToolTipReaderText));
}

void AttachSymbolFacts(Form1& form, FailureReporter& reporter,
                       std::function<bool()> previewEnabled) {
  // Under the count, in the column left of the data box, down to the frame; from near the
  // window's edge, so that most lines fit whole.
  auto* line = new QLabel(&form);
  line->setObjectName(QStringLiteral("lblSimbolo"));
  line->setGeometry(TwipsRect(90, 2400, 1350, 1410));
  line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  line->setWordWrap(true);
  line->setFont(LayoutFont(7));

  const auto refresh = [&form, line] {
    const QrPrintSettings settings = form.SettingsFromControls();
    const SymbolFacts facts = SymbolFactsFor(settings);
    line->setText(QString::fromStdString(SymbolFactsLine(facts)));
    line->setToolTip(QString::fromStdString(SymbolFactsReport(facts, kToolTipReaderText)));
  };
  QObject::connect(Named<QPlainTextEdit>(form, "Text1"), &QPlainTextEdit::textChanged, line,
                   refresh);
  QObject::connect(Named<QLineEdit>(form, "Tamanho"), &QLineEdit::textChanged, line, refresh);
  for (const char* list : {"ListModel", "ListError"})
    QObject::connect(Named<QComboBox>(form, list), &QComboBox::currentIndexChanged, line,
                     refresh);
  QObject::connect(Named<QCheckBox>(form, "chkNew"), &QCheckBox::stateChanged, line, refresh);
  refresh();

  // The limits ticket: the print button's context menu, so no control of the window moves.
  auto* print = Named<QPushButton>(form, "Command1");
  auto* menu = new QMenu(print);
  menu->setObjectName(QStringLiteral("mnuLimites"));
  for (const ProbeChoice& choice : kProbeChoices) {
    QAction* action = menu->addAction(QString::fromUtf8(choice.caption));
    action->setObjectName(QLatin1String(choice.name));
    const int paperDots = choice.paperDots;
    QObject::connect(action, &QAction::triggered, &form,
                     [&form, &reporter, previewEnabled, paperDots] {
                       PrintProbeFromWindow(form, reporter, previewEnabled && previewEnabled(),
                                            paperDots);
                     });
  }
  print->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(print, &QWidget::customContextMenuRequested, menu,
                   [print, menu](const QPoint& at) { menu->popup(print->mapToGlobal(at)); });
  print->setToolTip(QStringLiteral("Botão direito: talão de limites do QR"));
}

}  // namespace qrticket::ui
