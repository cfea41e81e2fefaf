// Form1's print action: real files get the ticket for exactly the window's values, and a
// failing device shows one modal box, after which the window still prints.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "gui_helpers.h"
#include "message_box_reporter.h"
#include "temp_dir.h"
#include "ticket/module_size.h"
#include "ticket/ticket.h"
#include "ticket/ticket_defaults.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::Hex;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::TypeReplacing;

// The real message box reporter, counting how often the job used it.
class CountingReporter final : public FailureReporter {
 public:
  explicit CountingReporter(int& calls) : calls_(calls) {}
  void ShowFailure(const std::string& message) override {
    ++calls_;
    box_.ShowFailure(message);
  }

 private:
  int& calls_;
  MessageBoxReporter box_;
};

// The ticket the core makes for `settings`, statement by statement.
Bytes ExpectedTicket(const QrPrintSettings& settings) {
  Bytes out;
  for (const auto& statement :
       TicketStatements(settings, ConvertModuleSize(settings.moduleSizeText))) {
    AppendStatement(statement, out);
  }
  return out;
}

class Form1Print : public ::testing::Test {
 protected:
  Form1Print() : form_(std::make_unique<CountingReporter>(reporterCalls_)) {}
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  void SetDevice(const QString& name) {
    TypeReplacing(ControlNamed<QComboBox>(form_, "ObjPrint")->lineEdit(), name);
  }
  void Print() {
    auto* button = ControlNamed<QPushButton>(form_, "Command1");
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void Tick(const char* name) {
    QTest::mouseClick(ControlNamed<QCheckBox>(form_, name), Qt::LeftButton);
  }

  int reporterCalls_ = 0;
  TempDir dir_;
  Form1 form_;
};

struct OptionsCase {
  const char* name;
  bool pageMode, centred, woosim;
  const char* headerStartHex;  // statement 1 up to its first LF
  const char* qrCommandHex;    // the start of statement 2
};

class Form1PrintOptions : public Form1Print, public ::testing::WithParamInterface<OptionsCase> {};

TEST_P(Form1PrintOptions, FileGetsTheTicketOfTheWindowsValues) {
  const OptionsCase& c = GetParam();
  const std::string file = dir_.File("ticket.bin");
  SetDevice(QString::fromStdString(file));
  if (c.pageMode) Tick("ChkPag");
  if (c.centred) Tick("chkCentrado");
  if (c.woosim) Tick("chkNew");
  MessageBoxAnswerer answerer;
  Print();

  QrPrintSettings expected;  // what the window shows after load, plus this row's boxes
  expected.dataText = kSampleDataText;
  expected.deviceName = file;
  expected.moduleSizeText = "6";
  expected.pageMode = c.pageMode;
  expected.centred = c.centred;
  expected.woosimDialect = c.woosim;
  const Bytes written = ReadFileBytes(file);
  EXPECT_EQ(Hex(written), Hex(ExpectedTicket(expected)));
  EXPECT_EQ(Hex(written.substr(0, written.find('\n') + 1)), c.headerStartHex);
  const std::size_t qrStart = written.find("\r\n") + 2;
  EXPECT_EQ(Hex(written.substr(qrStart, 3)), c.qrCommandHex);
  const bool hasLeavePageMode = written.find("\x1B" "S\r\n") != Bytes::npos;
  EXPECT_EQ(hasLeavePageMode, c.pageMode);
  EXPECT_EQ(reporterCalls_, 0);
  EXPECT_TRUE(answerer.seen().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, Form1PrintOptions,
    ::testing::Values(
        OptionsCase{"NoBoxes", false, false, false, "1B 40 0A", "1D 28 6B"},
        OptionsCase{"PageMode", true, false, false, "1B 40 1B 0C 0A", "1D 28 6B"},
        OptionsCase{"Centred", false, true, false, "1B 40 1B 61 01 0A", "1D 28 6B"},
        OptionsCase{"Woosim", false, false, true, "1B 40 0A", "1B 5A 00"},
        OptionsCase{"All", true, true, true, "1B 40 1B 0C 1B 61 01 0A", "1B 5A 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Print, EditedValuesReachTheTicket) {
  const std::string file = dir_.File("edited.bin");
  SetDevice(QString::fromStdString(file));
  auto* text = ControlNamed<QPlainTextEdit>(form_, "Text1");
  text->setFocus();
  TypeReplacing(text, QStringLiteral("Ol"));
  QTest::sendKeyEvent(QTest::Click, text, Qt::Key_Aacute, QStringLiteral("á"), Qt::NoModifier);
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClicks(text, QStringLiteral("C"));
  TypeReplacing(ControlNamed<QLineEdit>(form_, "Tamanho"), QStringLiteral("7.5"));
  TypeReplacing(ControlNamed<QComboBox>(form_, "ListModel")->lineEdit(), QStringLiteral("?"));
  ControlNamed<QComboBox>(form_, "ListError")->setCurrentIndex(3);
  Print();

  const Bytes written = ReadFileBytes(file);
  EXPECT_NE(written.find("QR CODE> Ol\xE1\r\nC\n\r\n"), Bytes::npos) << Hex(written);
  EXPECT_NE(written.find("Size : 8 \r\n"), Bytes::npos);
  EXPECT_NE(written.find("Model :-1 \r\n"), Bytes::npos);
  EXPECT_NE(written.find("ErrorLevel : 3 \r\n"), Bytes::npos);
}

TEST_F(Form1Print, DeviceNameKeepsItsSpaces) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir_.path().string())));
  SetDevice(QStringLiteral(" spaced.bin "));
  Print();
  QDir::setCurrent(previous);
  EXPECT_FALSE(ReadFileBytes(dir_.File(" spaced.bin ")).empty());
  EXPECT_TRUE(ReadFileBytes(dir_.File("spaced.bin")).empty());
}

// The print button's menu chooses the code table the window's tickets select until it closes:
// one box says so, and the next ticket starts ESC @ ESC t 3 with its text in PC860.
TEST_F(Form1Print, ChosenCodeTableReachesTheTicket) {
  const std::string file = dir_.File("ticket.bin");
  SetDevice(QString::fromStdString(file));
  auto* menu = ControlNamed<QPushButton>(form_, "Command1")->findChild<QMenu*>(QStringLiteral("mnuLimites"));
  ASSERT_NE(menu, nullptr);
  QAction* pc860 = menu->findChild<QAction*>(QStringLiteral("actTabela3"));
  ASSERT_NE(pc860, nullptr);
  {
    MessageBoxAnswerer answerer;
    pc860->trigger();
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_TRUE(answerer.seen().front().text.contains(QStringLiteral("ESC t 3")))
        << answerer.seen().front().text.toStdString();
  }
  Print();
  const Bytes ticket = ReadFileBytes(file);
  EXPECT_EQ(Hex(ticket.substr(0, 5)), "1B 40 1B 74 03");
  EXPECT_NE(ticket.find("INFORMA\x80\x8EO"), Bytes::npos);
  EXPECT_EQ(reporterCalls_, 0);
}

TEST_F(Form1Print, FailureShowsOneBoxThenTheWindowStillPrints) {
  SetDevice(QString::fromStdString(dir_.File("no-such-folder/ticket.bin")));
  {
    MessageBoxAnswerer answerer;
    Print();
    ASSERT_EQ(answerer.seen().size(), 1);
    const testing::SeenBox& box = answerer.seen().front();
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Falha na impressão:"))) << box.text.toStdString();
    EXPECT_GT(box.text.size(), QStringLiteral("Falha na impressão:").size());
    EXPECT_EQ(box.title, QStringLiteral("QR Code - Teste"));
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(box.modal);
  }
  EXPECT_EQ(reporterCalls_, 1);
  EXPECT_EQ(ControlNamed<QComboBox>(form_, "ObjPrint")->currentText().toStdString(),
            dir_.File("no-such-folder/ticket.bin"))
      << "the window keeps its values";

  const std::string good = dir_.File("good.bin");
  SetDevice(QString::fromStdString(good));
  MessageBoxAnswerer answerer;
  Print();
  EXPECT_TRUE(answerer.seen().isEmpty());
  EXPECT_EQ(reporterCalls_, 1);
  EXPECT_FALSE(ReadFileBytes(good).empty());
}

TEST_F(Form1Print, TooLongTextFailsBeforeTheDeviceIsCreated) {
  const std::string file = dir_.File("long.bin");
  SetDevice(QString::fromStdString(file));
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString(32765, u'x'));
  MessageBoxAnswerer answerer;
  Print();
  EXPECT_EQ(answerer.seen().size(), 1);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(Form1Print, PreviewNameGoesToTheHookWhenOneIsSet) {
  int previews = 0;
  form_.SetPreviewHook([&previews](const QrPrintSettings& settings, FailureReporter&) {
    ++previews;
    EXPECT_EQ(settings.deviceName, "visualizar:");
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor) << "busy while it runs";
  });
  SetDevice(QStringLiteral("visualizar:"));
  Print();
  EXPECT_EQ(previews, 1);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the busy cursor is gone afterwards";
}

}  // namespace
}  // namespace qrticket::ui
