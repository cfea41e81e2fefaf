// The start procedure and frmSplash: the splash alone first, the main window only after the
// timer fired once, the splash gone, and the program ending with the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "form1.h"
#include "frm_splash.h"
#include "gui_helpers.h"
#include "module1.h"
#include "ticket/publisher.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

using namespace std::chrono_literals;
using testing::ControlNamed;
using testing::ExecBounded;

QWidget* TopLevelNamed(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String(name)) return widget;
  }
  return nullptr;
}

bool IsShown(const char* name) {
  QWidget* widget = TopLevelNamed(name);
  return widget && widget->isVisible();
}

// What the event loop saw, every 5 ms, while the start procedure ran.
struct StartWatch {
  int polls = 0;
  int pollsWithSplash = 0;
  int pollsWithBoth = 0;
  int timerFires = 0;
  bool splashSurvivedInput = true;
  QPointer<QWidget> splash;
};

TEST(StartProcedure, SplashAloneThenMainWindowThenEnd) {
  constexpr auto kInterval = 300ms;
  StartWatch watch;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&watch] {
    ++watch.polls;
    const bool splash = IsShown("frmSplash");
    watch.pollsWithSplash += splash ? 1 : 0;
    watch.pollsWithBoth += splash && IsShown("Form1") ? 1 : 0;
    if (splash && !watch.splash) {
      watch.splash = TopLevelNamed("frmSplash");
      auto* timer = watch.splash->findChild<QTimer*>(QStringLiteral("Timer1"));
      ASSERT_NE(timer, nullptr);
      QObject::connect(timer, &QTimer::timeout, [&watch] { ++watch.timerFires; });
      // The operator tries to get rid of it: nothing happens.
      QTest::keyClick(watch.splash, Qt::Key_Escape);
      QTest::keyClick(watch.splash, Qt::Key_Return);
      QTest::keyClick(watch.splash, Qt::Key_Space);
      QTest::mouseClick(watch.splash, Qt::LeftButton);
      watch.splashSurvivedInput = watch.splash->isVisible();
    }
  });
  // Should the timer never fire, the test still ends, and fails below.
  QTimer rescue;
  rescue.setSingleShot(true);
  QObject::connect(&rescue, &QTimer::timeout, [] {
    if (QWidget* splash = TopLevelNamed("frmSplash")) splash->hide();
  });
  rescue.start(10s);
  poll.start();

  QElapsedTimer clock;
  clock.start();
  StartOptions options;
  options.splashInterval = kInterval;
  QPointer<Form1> form = StartProcedure(options);
  const auto elapsed = std::chrono::milliseconds(clock.elapsed());
  rescue.stop();

  EXPECT_TRUE(rescue.isActive() || elapsed < 10s) << "the splash never went away";
  EXPECT_GE(elapsed, kInterval - 20ms);
  EXPECT_GT(watch.pollsWithSplash, 5) << "the splash was shown first";
  EXPECT_EQ(watch.pollsWithBoth, 0) << "the main window showed beside the splash";
  EXPECT_TRUE(watch.splashSurvivedInput);
  EXPECT_EQ(watch.timerFires, 1);
  EXPECT_TRUE(watch.splash.isNull()) << "the splash is destroyed, not just hidden";
  EXPECT_EQ(TopLevelNamed("frmSplash"), nullptr);
  ASSERT_FALSE(form.isNull());
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->testAttribute(Qt::WA_DeleteOnClose));

  // Afterwards the splash never comes back, and closing the main window ends the program.
  const int pollsBefore = watch.polls;
  QTimer::singleShot(4 * kInterval, form.data(), [&form] { form->close(); });
  EXPECT_EQ(ExecBounded(10s), 0);
  EXPECT_GT(watch.polls, pollsBefore);
  EXPECT_EQ(watch.pollsWithBoth, 0);
  EXPECT_EQ(watch.timerFires, 1);
  EXPECT_TRUE(form.isNull()) << "the main window is unloaded";
}

TEST(FrmSplash, ShipsWithThreeSecondsAndRunsFromLoad) {
  EXPECT_EQ(kSplashInterval, 3000ms);
  EXPECT_EQ(StartOptions{}.splashInterval, 3000ms);
  FrmSplash splash;
  auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 3000);
  EXPECT_TRUE(timer->isActive()) << "running before the splash is on screen";
}

TEST(FrmSplash, TimerFiresOnceThenTheSplashHides) {
  FrmSplash splash(30ms);
  auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
  ASSERT_NE(timer, nullptr);
  int fires = 0;
  QObject::connect(timer, &QTimer::timeout, [&fires] { ++fires; });
  splash.show();
  ASSERT_TRUE(testing::WaitFor([&splash] { return !splash.isVisible(); }));
  QTest::qWait(150);  // five more intervals: a timer left running would fire again
  EXPECT_EQ(fires, 1);
  EXPECT_FALSE(timer->isActive());
  EXPECT_FALSE(splash.isVisible());
}

TEST(FrmSplash, OnlyTheTimerEndsIt) {
  FrmSplash splash(1h);
  splash.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
  QTest::keyClick(&splash, Qt::Key_Escape);
  QTest::keyClick(&splash, Qt::Key_F4, Qt::AltModifier);
  QTest::mouseClick(&splash, Qt::LeftButton);
  QTest::mouseDClick(ControlNamed<QLabel>(splash, "imgLogo"), Qt::LeftButton);
  splash.reject();
  QTest::qWait(20);
  EXPECT_TRUE(splash.isVisible());
  EXPECT_EQ(splash.focusWidget(), nullptr) << "nothing on the splash takes the focus";
}

struct Placement {
  const char* name;
  int left, top, width, height;  // twips, inside Frame1
};

TEST(FrmSplash, Layout) {
  FrmSplash splash(1h);
  splash.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
  EXPECT_EQ(splash.size(), QSize(524, 307));
  EXPECT_EQ(splash.minimumSize(), splash.maximumSize());
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(splash.windowType(), Qt::SplashScreen);
  EXPECT_EQ(splash.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(ControlNamed<QWidget>(splash, "Frame1")->geometry(), TwipsRect(150, 60, 7530, 4260));

  for (const Placement& p : {Placement{"imgLogo", 30, 105, 3090, 3120},
                             Placement{"lblWarning", 150, 3840, 6855, 285}}) {
    EXPECT_EQ(ControlNamed<QWidget>(splash, p.name)->geometry(),
              TwipsRect(p.left, p.top, p.width, p.height))
        << p.name;
  }
  EXPECT_EQ(ControlNamed<QLabel>(splash, "imgLogo")->pixmap().size(), QSize(206, 208));

  // These two fit their text, from their left edge.
  for (const Placement& p : {Placement{"lblPlatform", 3240, 1590, 3975, 240},
                             Placement{"lblVersion", 5385, 2160, 1770, 240}}) {
    auto* label = ControlNamed<QLabel>(splash, p.name);
    EXPECT_EQ(label->pos(), TwipsRect(p.left, p.top, p.width, p.height).topLeft()) << p.name;
    EXPECT_EQ(label->size(), label->sizeHint()) << p.name;
    EXPECT_LE(label->geometry().right(), label->parentWidget()->width()) << p.name;
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::black)) << p.name;
    EXPECT_EQ(label->font().pixelSize(), 13);  // 9.75 pt
  }
  EXPECT_EQ(ControlNamed<QLabel>(splash, "lblVersion")->text(), QString::fromUtf8(publisher::kWeb));
  EXPECT_EQ(ControlNamed<QLabel>(splash, "lblPlatform")->text(),
            QStringLiteral("Brevalunda - Sistemas de Informação, Lda"));
  auto* warning = ControlNamed<QLabel>(splash, "lblWarning");
  EXPECT_EQ(warning->font().pixelSize(), 11);  // 8.25 pt
  EXPECT_LE(warning->fontMetrics().horizontalAdvance(warning->text()), warning->width());
}

}  // namespace
}  // namespace qrticket::ui
