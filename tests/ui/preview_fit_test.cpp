// The preview window fits the screen it opens on, buttons included, whatever the screen's size
// and the display scale. CTest runs this program at 200 % and on a pair of screens of different
// sizes (the offscreen platform's screen configuration); each screen present is one case.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "form1.h"
#include "gui_helpers.h"
#include "ticket/ticket.h"
#include "ticket/ticket_defaults.h"
#include "ticket_preview.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;

// The default ticket, drawn by the virtual printer.
viewer::RenderedTicket DefaultTicket() {
  QrPrintSettings settings;
  settings.dataText = kSampleDataText;
  settings.moduleSizeText = "6";
  Bytes bytes;
  for (const auto& statement : TicketStatements(settings, 6)) AppendStatement(statement, bytes);
  return viewer::RenderTicket(bytes);
}

QRect GlobalRect(const QWidget& widget) {
  return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
}

std::string Describe(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

TEST(PreviewOnScreen, FitsEveryScreenItOpensOn) {
  const viewer::RenderedTicket ticket = DefaultTicket();
  ASSERT_FALSE(QGuiApplication::screens().isEmpty());
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    SCOPED_TRACE(screen->name().toStdString() + " " + Describe(area) + " at scale " +
                 std::to_string(screen->devicePixelRatio()));
    Form1 form;
    form.move(area.center() - QPoint(form.width() / 2, form.height() / 2));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_EQ(form.screen(), screen);

    TicketPreview preview(ticket, &form);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_EQ(preview.screen(), screen);
    EXPECT_TRUE(area.contains(preview.frameGeometry()))
        << Describe(preview.frameGeometry()) << " (inside " << Describe(preview.geometry())
        << ") on " << Describe(area);
    for (const char* caption : {"Fechar", "Guardar PNG..."}) {
      QPushButton* button = nullptr;
      for (auto* b : preview.findChildren<QPushButton*>())
        if (b->text() == QLatin1String(caption)) button = b;
      ASSERT_NE(button, nullptr) << caption;
      EXPECT_TRUE(button->isVisible()) << caption;
      EXPECT_TRUE(area.contains(GlobalRect(*button)))
          << caption << " at " << Describe(GlobalRect(*button));
    }
    EXPECT_GE(ControlNamed<QWidget>(preview, "report")->width(), 50);

    // The whole paper stays within reach; with room for it, only its length scrolls.
    auto* paper = ControlNamed<QLabel>(preview, "paper");
    auto* scroll = qobject_cast<QScrollArea*>(paper->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    EXPECT_GE(scroll->viewport()->width(), 100);
    QScrollBar* sideways = scroll->horizontalScrollBar();
    EXPECT_GE(sideways->maximum() + scroll->viewport()->width(), ticket.width);
    if (area.width() >= 800) {
      EXPECT_FALSE(sideways->isVisible()) << "the whole width shows";
    }
  }
}

}  // namespace
}  // namespace qrticket::ui
