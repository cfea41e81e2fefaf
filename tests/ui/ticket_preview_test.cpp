// "VISUALIZAR:" in the main window: the ticket's own bytes drawn by the virtual printer, shown
// in a modal preview that can save the picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "form1.h"
#include "gui_helpers.h"
#include "recording_reporter.h"
#include "temp_dir.h"
#include "ticket/ticket_defaults.h"
#include "ticket/ticket_failures.h"
#include "ticket_preview.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::RecordingReporter;
using testing::TempDir;
using testing::TypeReplacing;

class Preview : public ::testing::Test {
 protected:
  Preview() : reporter_(new RecordingReporter), form_(std::unique_ptr<FailureReporter>(reporter_)) {
    form_.SetPreviewHook(ShowTicketPreview);
  }
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    TypeReplacing(ControlNamed<QComboBox>(form_, "ObjPrint")->lineEdit(),
                  QStringLiteral(" Visualizar: "));
  }
  // Clicks "Imprimir" and hands the modal preview, once it is up, to `inspect`, then closes it.
  // Returns whether a preview appeared.
  bool PrintAndInspect(const std::function<void(TicketPreview&)>& inspect) {
    return testing::InspectModal<TicketPreview>(
        [this] { QTest::mouseClick(ControlNamed<QPushButton>(form_, "Command1"), Qt::LeftButton); },
        inspect, std::chrono::seconds(5));
  }

  TempDir dir_;
  RecordingReporter* reporter_;  // owned by form_
  Form1 form_;
};

TEST_F(Preview, ShowsTheTicketWithItsQrSymbolAndSavesIt) {
  const std::string png = dir_.File("talao.png");
  const bool shown = PrintAndInspect([&](TicketPreview& preview) {
    const auto& ticket = preview.ticket();
    EXPECT_EQ(ticket.width, 576);
    ASSERT_EQ(ticket.symbols.size(), 1u);
    EXPECT_EQ(ticket.symbols[0].data, kSampleDataText);
    EXPECT_EQ(ticket.symbols[0].level, 'M');
    EXPECT_FALSE(ControlNamed<QPlainTextEdit>(preview, "report")->toPlainText().isEmpty());
    EXPECT_FALSE(ControlNamed<QLabel>(preview, "paper")->pixmap().isNull());
    QString error;
    EXPECT_TRUE(preview.SaveTo(QString::fromStdString(png), &error)) << error.toStdString();
  });
  ASSERT_TRUE(shown);
  EXPECT_EQ(ReadFileBytes(png).substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_FALSE(std::filesystem::exists(" Visualizar: ")) << "nothing is written under that name";
}

TEST_F(Preview, AJobFailureIsReportedAndNoPreviewShows) {
  ControlNamed<QPlainTextEdit>(form_, "Text1")->setPlainText(QString(32765, u'x'));
  EXPECT_FALSE(PrintAndInspect([](TicketPreview&) {}));
  ASSERT_EQ(reporter_->messages.size(), 1u);
  EXPECT_EQ(reporter_->messages[0], kFailurePrefix + failures::DataTooLong().description());
}

// The window managers that ignore windows kept off the task bar leave nothing active when a
// dialog closes; so does the offscreen platform.
TEST_F(Preview, ClosingItsDialogsGivesTheKeysBackInTurn) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  bool fileDialogShown = false;
  bool previewActiveAgain = false;
  ASSERT_TRUE(PrintAndInspect([&](TicketPreview& preview) {
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        fileDialogShown = true;
        dialog->reject();
      }
    });
    closer.start(20);
    ControlNamed<QPushButton>(preview, "savePng")->click();  // returns when the dialog closes
    previewActiveAgain =
        testing::WaitFor([&preview] { return QApplication::activeWindow() == &preview; });
  }));
  EXPECT_TRUE(fileDialogShown);
  EXPECT_TRUE(previewActiveAgain);
  EXPECT_TRUE(testing::WaitFor([this] { return QApplication::activeWindow() == &form_; }));
}

// The ticket is laid out in memory: a temporary folder that takes nothing does not matter.
TEST(PreviewInMemory, NeedsNoTemporaryFolder) {
  const QByteArray saved = qgetenv("TMPDIR");
  qputenv("TMPDIR", "/proc");  // exists, and nobody may make a folder in it
  RecordingReporter reporter;
  bool previewSeen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* p = qobject_cast<TicketPreview*>(QApplication::activeModalWidget())) {
      previewSeen = true;
      p->reject();
    }
  });
  poll.start(20);
  QrPrintSettings settings;
  settings.dataText = "abc";
  settings.moduleSizeText = "6";
  ShowTicketPreview(settings, reporter);
  qputenv("TMPDIR", saved);
  EXPECT_TRUE(previewSeen);
  EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST(PreviewSave, AnUnwritablePathSaysWhy) {
  TicketPreview preview(viewer::RenderTicket("\x1B@abc\n"));
  QString error;
  EXPECT_FALSE(preview.SaveTo(QStringLiteral("/no/such/folder/t.png"), &error));
  EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace qrticket::ui
