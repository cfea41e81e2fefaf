// The "Estado" button: beside "Fechar", enabled by the same port rule as "Imprimir", one box
// with what a fake network printer says, and "Imprimir" still sends the ticket alone; its
// context menu's "Procurar velocidade" against a serial printer of the test's own on a pty.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "fake_printer.h"
#include "serial_test_printer.h"
#include "form1.h"
#include "gui_helpers.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::FakeTcpPrinter;
using testing::MessageBoxAnswerer;
using testing::SerialTestPrinter;
using testing::TypeReplacing;

class StatusButton : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QPushButton* Button() { return ControlNamed<QPushButton>(form_, "cmdEstado"); }
  void SetDevice(const QString& name) {
    TypeReplacing(ControlNamed<QComboBox>(form_, "ObjPrint")->lineEdit(), name);
  }
  Form1 form_;
};

TEST_F(StatusButton, SitsBesideFecharWithItsLook) {
  ASSERT_NE(Button(), nullptr);
  EXPECT_EQ(Button()->parentWidget(), &form_);
  EXPECT_EQ(Button()->text(), QStringLiteral("Estado"));
  EXPECT_EQ(Button()->geometry(), TwipsRect(2805, 6750, 1965, 615));
  const QRect close = ControlNamed<QPushButton>(form_, "Command2")->geometry();
  EXPECT_EQ(Button()->geometry().top(), close.top());
  EXPECT_LT(Button()->geometry().right(), close.left()) << "no overlap";
  EXPECT_EQ(Button()->palette().color(QPalette::Button), QColor(192, 192, 192));
  EXPECT_LE(Button()->sizeHint().width(), Button()->width());
}

struct RuleCase {
  const char* name;
  const char* device;
  bool enabled;
};

class StatusButtonRule : public StatusButton, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(StatusButtonRule, FollowsThePortRule) {
  SetDevice(QString::fromUtf8(GetParam().device));
  EXPECT_EQ(Button()->isEnabled(), GetParam().enabled);
  EXPECT_EQ(Button()->isEnabled(), ControlNamed<QPushButton>(form_, "Command1")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Devices, StatusButtonRule,
                         ::testing::Values(RuleCase{"Empty", "", false},
                                           RuleCase{"Spaces", "   ", false},
                                           RuleCase{"Port", "COM1:", true},
                                           RuleCase{"SpacedNetwork", " tcp://127.0.0.1 ", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatusButton, DisabledAtFirstDisplay) { EXPECT_FALSE(Button()->isEnabled()); }

TEST_F(StatusButton, ShowsWhatThePrinterSaysInOneBox) {
  FakeTcpPrinter printer(testing::PrinterReporting(0x1A, 0x16, 0x12, 0x12));
  SetDevice(QString::fromStdString(printer.DeviceName()));
  MessageBoxAnswerer answerer;
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(answerer.seen().size(), 1);
  const testing::SeenBox& box = answerer.seen().front();
  EXPECT_EQ(box.title, QStringLiteral("QR Code - Teste"));
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  EXPECT_TRUE(box.modal);
  EXPECT_EQ(box.text, QStringLiteral("Estado de ") + QString::fromStdString(printer.DeviceName()) +
                          QStringLiteral(":\n"
                                         "identificação não pedida: a impressora só a envia "
                                         "quando está em linha\n"
                                         "fora de linha\ntampa aberta\npapel presente\n"
                                         "não está pronta: fora de linha, tampa aberta"));
}

TEST_F(StatusButton, AFileHasNoWayBack) {
  SetDevice(QStringLiteral("/tmp/qrticket-status-button-never-created.bin"));
  MessageBoxAnswerer answerer;
  QTest::mouseClick(Button(), Qt::LeftButton);
  ASSERT_EQ(answerer.seen().size(), 1);
  EXPECT_TRUE(answerer.seen().front().text.contains(QStringLiteral("sem canal de retorno")));
  EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/qrticket-status-button-never-created.bin")));
}

TEST_F(StatusButton, PrintButtonStillSendsTheTicketAlone) {
  FakeTcpPrinter printer(testing::ReadyPrinter());
  SetDevice(QString::fromStdString(printer.DeviceName()));
  QTest::mouseClick(ControlNamed<QPushButton>(form_, "Command1"), Qt::LeftButton);
  ASSERT_TRUE(printer.WaitConnections(1, std::chrono::seconds(5)));
  QTest::qWait(200);
  ASSERT_EQ(printer.Connections().size(), 1u);
  EXPECT_EQ(printer.Connections()[0].find("\x10\x04"), std::string::npos);
  EXPECT_EQ(printer.Connections()[0].rfind("\x1B@", 0), 0u) << "the ticket's own first bytes";
}

QAction* SpeedSearchAction(QWidget& form) {
  auto* menu = form.findChild<QMenu*>(QStringLiteral("mnuEstado"));
  return menu ? menu->findChild<QAction*>(QStringLiteral("actProcurarVelocidade")) : nullptr;
}

TEST_F(StatusButton, SpeedSearchPutsTheNameFoundInTheDeviceBox) {
  SerialTestPrinter printer({.speed = 19200});
  printer.line().SetSpeed(1200);
  const LineSettings own = printer.line().Line();
  const QString line = QString::fromStdString(printer.path());
  SetDevice(line);
  QAction* action = SpeedSearchAction(form_);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), QStringLiteral("Procurar velocidade"));
  QStringList titles;
  QObject::connect(&form_, &QWidget::windowTitleChanged,
                   [&titles](const QString& title) { titles << title; });
  MessageBoxAnswerer answerer;
  action->trigger();
  // While it searched, the title named each settings tried, the one found last; then it was
  // the window's own again.
  ASSERT_GE(titles.size(), 2);
  EXPECT_EQ(titles.front(),
            QStringLiteral("QR Code - Teste v1.3 - Procurar velocidade: a tentar 9600,n,8,1"));
  EXPECT_EQ(titles[titles.size() - 2],
            QStringLiteral("QR Code - Teste v1.3 - Procurar velocidade: a tentar 19200,n,8,1"));
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("QR Code - Teste v1.3"));
  ASSERT_EQ(answerer.seen().size(), 2);
  EXPECT_TRUE(answerer.seen()[0].text.contains(QStringLiteral("alguns caracteres soltos")))
      << answerer.seen()[0].text.toStdString();
  EXPECT_EQ(answerer.seen()[1].text,
            QStringLiteral("Procurar velocidade de ") + line +
                QStringLiteral(":\nrespondeu a ") + line +
                QStringLiteral(":19200,n,8,1 (o nome ficou na caixa do dispositivo)"));
  EXPECT_EQ(ControlNamed<QComboBox>(form_, "ObjPrint")->currentText(),
            line + QStringLiteral(":19200,n,8,1"));
  EXPECT_TRUE(Button()->isEnabled());
  EXPECT_EQ(printer.line().Line(), own) << "the line is not as it was";
}

TEST_F(StatusButton, SpeedSearchThatFindsNothingSaysSo) {
  SerialTestPrinter printer({.speed = 9600, .silent = true});
  const QString line = QString::fromStdString(printer.path());
  SetDevice(line);
  MessageBoxAnswerer answerer;
  SpeedSearchAction(form_)->trigger();
  ASSERT_EQ(answerer.seen().size(), 2);
  EXPECT_EQ(answerer.seen()[1].text, QStringLiteral("Procurar velocidade de ") + line +
                                         QStringLiteral(":\na impressora não respondeu a "
                                                        "nenhuma velocidade"));
  EXPECT_EQ(ControlNamed<QComboBox>(form_, "ObjPrint")->currentText(), line);
}

// The window closed during the search ends it: no box after the warning, the line put back.
TEST_F(StatusButton, ClosingTheWindowEndsTheSpeedSearch) {
  SerialTestPrinter printer({.speed = 9600, .silent = true});
  printer.line().SetSpeed(1200);
  const LineSettings own = printer.line().Line();
  SetDevice(QString::fromStdString(printer.path()));
  MessageBoxAnswerer answerer;
  QTimer::singleShot(500, &form_, [this] { form_.close(); });
  SpeedSearchAction(form_)->trigger();
  EXPECT_FALSE(form_.isVisible());
  ASSERT_EQ(answerer.seen().size(), 1) << "a box after the window closed";
  EXPECT_EQ(printer.line().Line(), own);
  EXPECT_LT(printer.requestSpeeds().size(), 14u) << "the search went on to the end";
}

}  // namespace
}  // namespace qrticket::ui
