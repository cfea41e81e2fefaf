// The limits ticket on screen: with "VISUALIZAR:" as the device, the print button's menu shows
// the ticket through the virtual printer, on the paper width chosen, instead of printing it.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "form1.h"
#include "gui_helpers.h"
#include "recording_reporter.h"
#include "symbols/probe_ticket.h"
#include "ticket_preview.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::InspectModal;
using testing::RecordingReporter;
using testing::TypeReplacing;

struct PreviewRow {
  const char* action;
  int paperDots;
};
void PrintTo(const PreviewRow& row, std::ostream* os) { *os << row.action; }

class LimitsPreview : public ::testing::TestWithParam<PreviewRow> {};

TEST_P(LimitsPreview, DrawsTheLimitsTicketOnThePaperChosen) {
  auto* reporter = new RecordingReporter;
  Form1 form{std::unique_ptr<FailureReporter>(reporter)};
  bool ticketPreviewHookUsed = false;
  form.SetPreviewHook([&](const QrPrintSettings&, FailureReporter&) { ticketPreviewHookUsed = true; });
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  TypeReplacing(ControlNamed<QComboBox>(form, "ObjPrint")->lineEdit(), QStringLiteral("visualizar:"));

  auto* menu = ControlNamed<QPushButton>(form, "Command1")->findChild<QMenu*>("mnuLimites");
  ASSERT_NE(menu, nullptr);
  viewer::RenderedTicket shown;
  const bool seen = InspectModal<TicketPreview>(
      [&] { menu->findChild<QAction*>(QLatin1String(GetParam().action))->trigger(); },
      [&](TicketPreview& preview) { shown = preview.ticket(); }, std::chrono::seconds(10));

  ASSERT_TRUE(seen);
  EXPECT_FALSE(ticketPreviewHookUsed);  // the limits ticket, not the QR test ticket
  EXPECT_TRUE(reporter->messages.empty());
  EXPECT_EQ(shown.width, GetParam().paperDots);
  const ProbePlan plan = PlanProbe(form.SettingsFromControls(), GetParam().paperDots);
  std::size_t native = 0;
  for (const auto& s : shown.symbols) native += s.command == "GS ( k";
  EXPECT_EQ(native, plan.symbols.size());
}

INSTANTIATE_TEST_SUITE_P(Window, LimitsPreview,
                         ::testing::Values(PreviewRow{"actLimites80", 576},
                                           PreviewRow{"actLimites58", 384}),
                         [](const auto& info) { return std::string(info.param.action); });

}  // namespace
}  // namespace qrticket::ui
