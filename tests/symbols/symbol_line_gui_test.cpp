// The live symbol line in the real window (offscreen, real event loop): where it stands, that
// it follows every kind of change, that its text fits, and the limits ticket printed from the
// print button's context menu, and its raster item.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "gui_helpers.h"
#include "recording_reporter.h"
#include "symbol_line.h"
#include "symbols/probe_ticket.h"
#include "symbols/raster_ticket_symbol.h"
#include "temp_dir.h"
#include "ticket_bytes.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::TempDir;
using testing::TypeReplacing;

class SymbolLine : public ::testing::Test {
 protected:
  SymbolLine() : reporter_(new RecordingReporter), form_(std::unique_ptr<FailureReporter>(reporter_)) {}
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QLabel* Line() { return ControlNamed<QLabel>(form_, "lblSimbolo"); }

  RecordingReporter* reporter_;  // owned by the form
  Form1 form_;
};

TEST_F(SymbolLine, StandsUnderTheCountClearOfEveryControl) {
  QLabel* line = Line();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->parentWidget(), &form_);
  EXPECT_TRUE(line->isVisible());
  EXPECT_TRUE(form_.rect().contains(line->geometry()));
  const QRect count = ControlNamed<QLabel>(form_, "lblNChar")->geometry();
  EXPECT_GE(line->geometry().top(), count.bottom());
  for (const char* name : {"Image1", "Label3", "Label5", "Label1", "lblNChar", "Text1", "Frame1"})
    EXPECT_FALSE(line->geometry().intersects(ControlNamed<QWidget>(form_, name)->geometry()))
        << name;
  EXPECT_EQ(line->focusPolicy(), Qt::NoFocus);  // the tab order stays as it was
  EXPECT_EQ(line->text(),
            QString::fromUtf8("Versão 8\n49×49 módulos\n294 pontos, 36,8 mm\ncabe em 80 e 58 mm\nPortaria: não cumpre"));
  EXPECT_TRUE(line->toolTip().contains(QStringLiteral("Capacidade: o Modelo 2 de nível M leva até 2331 bytes")));
}

struct ChangeRow {
  const char* name;
  std::function<void(Form1&)> change;
  const char* lineHas;
};
void PrintTo(const ChangeRow& row, std::ostream* os) { *os << row.name; }

class SymbolLineChanges : public SymbolLine, public ::testing::WithParamInterface<ChangeRow> {};

TEST_P(SymbolLineChanges, FollowsEachKindOfChange) {
  const QString before = Line()->text();
  GetParam().change(form_);
  const QString after = Line()->text();
  EXPECT_NE(after, before);
  EXPECT_TRUE(after.contains(QString::fromUtf8(GetParam().lineHas))) << after.toStdString();
  // Always the facts of what a print would send now.
  const ui::SymbolLine facts = SymbolLineFor(form_.SettingsFromControls());
  EXPECT_EQ(after, QString::fromStdString(facts.text));
  EXPECT_EQ(Line()->toolTip(), QString::fromStdString(facts.toolTip));
}

void TypeInto(Form1& form, const char* name, const QString& text) {
  auto* box = ControlNamed<QWidget>(form, name);
  if (auto* list = qobject_cast<QComboBox*>(box)) box = list->lineEdit();
  TypeReplacing(box, text);
}

INSTANTIATE_TEST_SUITE_P(
    Window, SymbolLineChanges,
    ::testing::Values(
        ChangeRow{"TypedCharacter",
                  [](Form1& f) {
                    // A key that QTest has no name for: the event carries the character.
                    QTest::sendKeyEvent(QTest::Click, ControlNamed<QPlainTextEdit>(f, "Text1"),
                                        Qt::Key_unknown, QString::fromUtf8("€"), Qt::NoModifier);
                  },
                  "Leitor troca €"},
        ChangeRow{"TextEmptied",
                  [](Form1& f) { TypeReplacing(ControlNamed<QPlainTextEdit>(f, "Text1"), ""); },
                  "Sem dados"},
        ChangeRow{"SizeTyped", [](Form1& f) { TypeInto(f, "Tamanho", "12"); },
                  "não cabe em 80 mm"},
        ChangeRow{"SizeIgnored", [](Form1& f) { TypeInto(f, "Tamanho", "0"); }, "Tamanho 0 → 3"},
        ChangeRow{"ModelChosen",
                  [](Form1& f) { ControlNamed<QComboBox>(f, "ListModel")->setCurrentIndex(2); },
                  "não cabe num\ncódigo QR\n(até 13)"},
        ChangeRow{"ModelTyped", [](Form1& f) { TypeInto(f, "ListModel", "Modelo 9"); },
                  "Modelo 0x30 → 2"},
        ChangeRow{"LevelChosen",
                  [](Form1& f) { ControlNamed<QComboBox>(f, "ListError")->setCurrentIndex(0); },
                  "Versão 7"},
        ChangeRow{"LevelTyped", [](Form1& f) { TypeInto(f, "ListError", "x"); },
                  "Nível 0x2F → L\nVersão 7"},
        ChangeRow{"WoosimTicked",
                  [](Form1& f) {
                    QTest::mouseClick(ControlNamed<QCheckBox>(f, "chkNew"), Qt::LeftButton,
                                      {}, QPoint(6, 8));
                  },
                  "ESC Z versão 7"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SymbolLine, WoosimUntickedGivesTheStandardFactsBack) {
  const QString standard = Line()->text();
  auto* woosim = ControlNamed<QCheckBox>(form_, "chkNew");
  woosim->setChecked(true);
  EXPECT_NE(Line()->text(), standard);
  woosim->setChecked(false);
  EXPECT_EQ(Line()->text(), standard);
}

// The longest texts the line shows stay inside it, wrapped, without being cut off.
TEST_F(SymbolLine, EveryTextFitsTheLine) {
  const auto fits = [this](const char* what) {
    QLabel* line = Line();
    EXPECT_LE(line->heightForWidth(line->width()), line->height())
        << what << ": " << line->text().toStdString();
  };
  fits("default");
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString::fromUtf8("€ “x” – ‘y’ „z“"));
  ControlNamed<QCheckBox>(form_, "chkNew")->setChecked(true);
  fits("woosim with characters a reader misreads");
  ControlNamed<QCheckBox>(form_, "chkNew")->setChecked(false);
  ControlNamed<QLineEdit>(form_, "Tamanho")->setText(QStringLiteral("8"));
  fits("only 80 mm, with characters a reader misreads");
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString(2954, QLatin1Char('x')));
  fits("too long");
  ControlNamed<QLineEdit>(form_, "Tamanho")->setText(QStringLiteral("17"));
  fits("size ignored");
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString::fromUtf8("€ “x”"));
  fits("size ignored, with characters a reader misreads");
  ControlNamed<QComboBox>(form_, "ListModel")->setCurrentIndex(-1);
  ControlNamed<QComboBox>(form_, "ListError")->setCurrentIndex(-1);
  fits("every setting ignored, with characters a reader misreads");
  ControlNamed<QLineEdit>(form_, "Tamanho")->setText(QStringLiteral("300"));
  fits("builder failure");
  ControlNamed<QLineEdit>(form_, "Tamanho")->setText(QStringLiteral("99999"));
  fits("size overflow");
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString(32765, QLatin1Char('x')));
  fits("ticket too long");
}

class LimitsMenu : public SymbolLine {
 protected:
  QMenu* Menu() {
    return ControlNamed<QPushButton>(form_, "Command1")->findChild<QMenu*>(QStringLiteral("mnuLimites"));
  }
  void Trigger(const char* action) {
    QAction* a = Menu()->findChild<QAction*>(QLatin1String(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }
  TempDir dir_;
};

TEST_F(LimitsMenu, OpensOnTheEnabledPrintButton) {
  auto* print = ControlNamed<QPushButton>(form_, "Command1");
  TypeInto(form_, "ObjPrint", QString::fromStdString(dir_.File("probe.bin")));
  ASSERT_TRUE(print->isEnabled());
  ASSERT_NE(Menu(), nullptr);
  QStringList captions;
  for (QAction* a : Menu()->actions()) captions << a->text();
  EXPECT_EQ(captions, QStringList({QString::fromUtf8("Imprimir talão de limites do QR (papel de 80 mm)"),
                                   QString::fromUtf8("Imprimir talão de limites do QR (papel de 58 mm)"),
                                   QString::fromUtf8("Imprimir talão das tabelas de caracteres"),
                                   QString::fromUtf8("Tabela de caracteres: nenhuma (como sempre)"),
                                   QString::fromUtf8("Tabela de caracteres: 0 (PC437)"),
                                   QString::fromUtf8("Tabela de caracteres: 2 (PC850)"),
                                   QString::fromUtf8("Tabela de caracteres: 3 (PC860, português)"),
                                   QString::fromUtf8("Tabela de caracteres: 16 (WPC1252)"),
                                   QString::fromUtf8("Tabela de caracteres: 19 (PC858, com €)"),
                                   QString::fromUtf8("Tabela de caracteres: 40 (ISO-8859-15)"),
                                   QString::fromUtf8("QR desenhado pelo programa (imagem GS v 0, "
                                                     "versão 9 ou mais)")}));
  Q_EMIT print->customContextMenuRequested(QPoint(10, 10));
  EXPECT_TRUE(testing::WaitFor([&] { return Menu()->isVisible(); }));
  Menu()->close();
  EXPECT_EQ(print->contextMenuPolicy(), Qt::CustomContextMenu);
}

struct PaperRow {
  const char* action;
  int paperDots;
};
class LimitsMenuPrints : public LimitsMenu, public ::testing::WithParamInterface<PaperRow> {};

TEST_P(LimitsMenuPrints, TheLimitsTicketToTheDevice) {
  const std::string path = dir_.File("probe.bin");
  TypeInto(form_, "ObjPrint", QString::fromStdString(path));
  TypeInto(form_, "Tamanho", "4");
  ControlNamed<QComboBox>(form_, "ListError")->setCurrentIndex(2);
  Trigger(GetParam().action);
  EXPECT_TRUE(reporter_->messages.empty());
  EXPECT_EQ(ReadFileBytes(path), ProbeTicketBytes(form_.SettingsFromControls(), GetParam().paperDots));
  // The ticket's own controls are as they were.
  EXPECT_EQ(ControlNamed<QLineEdit>(form_, "Tamanho")->text(), QStringLiteral("4"));
  EXPECT_EQ(ControlNamed<QComboBox>(form_, "ListError")->currentIndex(), 2);
}

INSTANTIATE_TEST_SUITE_P(Window, LimitsMenuPrints,
                         ::testing::Values(PaperRow{"actLimites80", 576},
                                           PaperRow{"actLimites58", 384}),
                         [](const auto& info) { return std::string(info.param.action); });

TEST_F(LimitsMenu, SettingsWithoutASymbolFailOnceAndWriteNothing) {
  const std::string path = dir_.File("probe.bin");
  TypeInto(form_, "ObjPrint", QString::fromStdString(path));
  TypeInto(form_, "Tamanho", "0");
  Trigger("actLimites80");
  ASSERT_EQ(reporter_->messages.size(), 1u);
  EXPECT_NE(reporter_->messages[0].find("O talão de limites não se imprime com estes parâmetros"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// The raster item: checkable, its tick the model's whenever the menu opens; ticked, the line
// describes the image and the print button prints it; a second choice takes it back.
TEST_F(LimitsMenu, RasterItemIsTickedAndReachesTheTicket) {
  const std::string path = dir_.File("ticket.bin");
  TypeInto(form_, "ObjPrint", QString::fromStdString(path));
  QAction* raster = Menu()->findChild<QAction*>(QStringLiteral("actImagemQr"));
  ASSERT_NE(raster, nullptr);
  EXPECT_TRUE(raster->isCheckable());
  const QString commandsLine = Line()->text();
  auto* print = ControlNamed<QPushButton>(form_, "Command1");
  const auto openAndClose = [&] {
    Q_EMIT print->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(testing::WaitFor([&] { return Menu()->isVisible(); }));
    const bool ticked = raster->isChecked();
    Menu()->close();
    return ticked;
  };
  EXPECT_FALSE(openAndClose());

  raster->trigger();
  EXPECT_TRUE(openAndClose());
  EXPECT_TRUE(Line()->text().startsWith(QStringLiteral("Imagem, versão 9")))
      << Line()->text().toStdString();
  print->click();
  EXPECT_TRUE(reporter_->messages.empty());
  QrPrintSettings settings = form_.SettingsFromControls();
  ASSERT_EQ(settings.symbolImage, &DrawTicketSymbol);
  EXPECT_EQ(ReadFileBytes(path), testing::TicketBytes(settings));

  raster->trigger();
  EXPECT_FALSE(openAndClose());
  EXPECT_EQ(Line()->text(), commandsLine);
  print->click();
  settings.symbolImage = nullptr;
  EXPECT_EQ(ReadFileBytes(path), testing::TicketBytes(settings));
}

}  // namespace
}  // namespace qrticket::ui
