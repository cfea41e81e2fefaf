// frmSplash: shown modally at start-up until Timer1 fires once, then hidden.
#include "frm_splash.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "fonts.h"
#include "form_layout.h"
#include "pictures.h"
#include "twips.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect Place(const ControlSpec& spec) {
  return TwipsRect(spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height);
}

QLabel* MakeLabel(const ControlSpec& spec, QWidget* container) {
  auto* label = new QLabel(FromUtf8(spec.caption), container);
  label->setObjectName(FromUtf8(spec.name));
  label->setFont(LayoutFont(spec.font.value_or(SplashLayout().font)));
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label->setGeometry(Place(spec));
  QPalette black = label->palette();  // not the frame's grey line colour
  black.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(black);
  // Some size themselves to their text, keeping their left edge.
  if (spec.autoSize) label->adjustSize();
  return label;
}

const ControlSpec& Spec(std::string_view name) { return *FindControl(SplashLayout(), name); }

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
  const WindowSpec& layout = SplashLayout();
  setObjectName(FromUtf8(layout.name));
  setFixedSize(TwipsSize(layout.clientWidth, layout.clientHeight));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFocusPolicy(Qt::NoFocus);

  Frame1_ = new QFrame(this);
  Frame1_->setObjectName(QStringLiteral("Frame1"));
  Frame1_->setGeometry(Place(Spec("Frame1")));
  // No caption; a thin grey line outlines the splash, which has no window frame of its own.
  Frame1_->setFrameStyle(QFrame::Box | QFrame::Plain);
  QPalette line = Frame1_->palette();
  line.setColor(QPalette::WindowText, QColor(160, 160, 160));
  Frame1_->setPalette(line);

  Timer1_ = new QTimer(Frame1_);
  Timer1_->setObjectName(QStringLiteral("Timer1"));

  imgLogo_ = new QLabel(Frame1_);
  imgLogo_->setObjectName(QStringLiteral("imgLogo"));
  imgLogo_->setGeometry(Place(Spec("imgLogo")));
  imgLogo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  imgLogo_->setPixmap(SplashLogoPicture());

  lblPlatform_ = MakeLabel(Spec("lblPlatform"), Frame1_);
  lblVersion_ = MakeLabel(Spec("lblVersion"), Frame1_);
  lblWarning_ = MakeLabel(Spec("lblWarning"), Frame1_);
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
