// frmSplash: shown modally at start-up until Timer1 fires once, then hidden.
#include "frm_splash.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "fonts.h"
#include "pictures.h"
#include "ticket/publisher.h"
#include "twips.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

QLabel* MakeLabel(QWidget* container, const char* name, const QString& caption, QRect rect,
                  const QFont& font) {
  auto* label = new QLabel(caption, container);
  label->setObjectName(QLatin1String(name));
  label->setFont(font);
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label->setGeometry(rect);
  QPalette black = label->palette();  // not the frame's grey line colour
  black.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(black);
  return label;
}

}  // namespace

FrmSplash::FrmSplash(std::chrono::milliseconds interval)
    : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  CreateControls();
  Timer1_->setInterval(interval);
  connect(Timer1_, &QTimer::timeout, this, &FrmSplash::Timer1Timer);
  Timer1_->start();  // the load handler: the interval runs from here
  CentreOnScreen(*this);
  KeepOffTaskBar(*this);
}

FrmSplash::~FrmSplash() = default;

void FrmSplash::CreateControls() {
  setObjectName(QStringLiteral("frmSplash"));
  setFixedSize(TwipsSize(7860, 4605));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFocusPolicy(Qt::NoFocus);

  Frame1_ = new QFrame(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  Frame1_->setGeometry(TwipsRect(150, 60, 7530, 4260));
  // No caption; a thin grey line outlines the splash, which has no window frame of its own.
  Frame1_->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette line = Frame1_->palette();
  line.setColor(QPalette::WindowText, QColor(160, 160, 160));
  Frame1_->setPalette(line);

  Timer1_ = new QTimer(Frame1_);
  Timer1_->setObjectName(QStringLiteral("Timer1"));

  imgLogo_ = new QLabel(Frame1_);
  imgLogo_->setObjectName(QStringLiteral("imgLogo"));
  imgLogo_->setGeometry(TwipsRect(30, 105, 3090, 3120));
  imgLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  imgLogo_->setPixmap(SplashLogoPicture());

  lblPlatform_ = MakeLabel(Frame1_, "lblPlatform",
                           QStringLiteral("Brevalunda - Sistemas de Informação, Lda"),
                           TwipsRect(3240, 1590, 3975, 240), LayoutFont(9.75, true));
  lblVersion_ = MakeLabel(Frame1_, "lblVersion", QString::fromUtf8(publisher::kWeb),
                          TwipsRect(5385, 2160, 1770, 240), LayoutFont(9.75, true));
  // These two size themselves to their text, keeping their left edge.
  lblPlatform_->adjustSize();
  lblVersion_->adjustSize();
  lblWarning_ = MakeLabel(Frame1_, "lblWarning",
                          QStringLiteral("Teste de impressão do QR Code em impressoras em modo ESC/POS"),
                          TwipsRect(150, 3840, 6855, 285), LayoutFont(8.25, true));
}

// Fires once: the timer stops first, then hiding the splash ends its modal show.
void FrmSplash::Timer1Timer() {
  Timer1_->stop();
  hide();
}

void FrmSplash::keyPressEvent(QKeyEvent* event) { event->accept(); }

void FrmSplash::closeEvent(QCloseEvent* event) {
  if (event->spontaneous()) event->ignore();  // only the timer ends the splash
}

}  // namespace qrticket::ui
