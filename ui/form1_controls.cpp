// Form1's controls: names, captions, fonts, colours and places, as the window was drawn.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app_identity.h"
#include "device_list.h"
#include "editable_list.h"
#include "fonts.h"
#include "form1.h"
#include "pictures.h"
#include "twips.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

const QColor kButtonFace(192, 192, 192);

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect twipsRect) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(twipsRect);
  return widget;
}

QLabel* MakeLabel(QWidget* container, const char* name, const QString& caption, QRect rect,
                  Qt::Alignment horizontal = Qt::AlignLeft) {
  auto* label = Place(new QLabel(caption, container), name, rect);
  label->setAlignment(horizontal | Qt::AlignTop);  // captions start at the top of their box
  return label;
}

// A thin single-line border, drawn in black like the original window's.
void GiveSingleBorder(QLabel* label) {
  label->setFrameStyle(QFrame::Box | QFrame::Plain);
  label->setLineWidth(1);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
}

void GiveButtonFace(QPushButton* button) {
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, kButtonFace);
  button->setPalette(palette);
}

// The box sits right of the caption when the check box is laid out right to left.
QCheckBox* MakeCheckBox(QWidget* container, const char* name, const QString& caption, QRect rect,
                        bool boxOnTheRight) {
  auto* box = Place(new QCheckBox(caption, container), name, rect);
  if (boxOnTheRight) box->setLayoutDirection(Qt::RightToLeft);
  // The boxes were drawn for a narrower font; a smaller gap keeps "Modo página" whole.
  box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 4px; }"));
  return box;
}

}  // namespace

void Form1::CreateControls() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(kMainWindowCaption));
  setWindowIcon(AppIcon());
  // Fixed dialog frame: title and close button only; the size cannot change.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(TwipsSize(7275, 7575));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFont(LayoutFont(8.25));

  Image1_ = Place(new QLabel(this), "Image1", TwipsRect(390, 270, 780, 780));
  Image1_->setPixmap(LogoPicture());
  Image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // natural size, from the top left

  Label3_ = MakeLabel(this, "Label3", QStringLiteral("BREVALUNDA - SISTEMAS DE INFORMAÇÃO LDA"),
                      TwipsRect(1320, 540, 6045, 315));
  Label3_->setFont(LayoutFont(9.75, true));
  Label5_ = MakeLabel(this, "Label5", QString(), TwipsRect(390, 1170, 6525, 75));
  GiveSingleBorder(Label5_);
  Label1_ = MakeLabel(this, "Label1", QStringLiteral("Codificar"), TwipsRect(420, 1350, 1125, 315));
  Label1_->setFont(LayoutFont(12));
  lblNChar_ = MakeLabel(this, "lblNChar", QString(), TwipsRect(480, 1830, 795, 525),
                        Qt::AlignHCenter);
  lblNChar_->setFont(LayoutFont(12, true));

  Text1_ = Place(new QPlainTextEdit(this), "Text1", TwipsRect(1470, 1320, 5445, 2490));
  Text1_->setFont(LayoutFont(12));
  Text1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Text1_->setTabChangesFocus(true);  // Tab moves on, as in every other box of the window

  Frame1_ = Place(new QGroupBox(QStringLiteral("Impressão ESC/POS do QR CODE"), this), "Frame1",
                  TwipsRect(390, 3870, 6585, 2835));
  Frame1_->setAutoFillBackground(true);

  Label2_ = MakeLabel(Frame1_, "Label2", QStringLiteral(" Dispositivo:"),
                      TwipsRect(180, 480, 1275, 315));
  GiveSingleBorder(Label2_);
  ObjPrint_ = Place(new DeviceListBox(Frame1_), "ObjPrint", TwipsRect(1500, 480, 4875, 315));
  MakeEditableList(*ObjPrint_);
#ifdef _WIN32
  QString portHelp = QStringLiteral(
      "Porta, impressora ou ficheiro de saída: LPT1:, COM1:, printer:NOME, tcp://IP:9100 ...");
#else
  QString portHelp = QStringLiteral(
      "Porta, fila CUPS ou ficheiro de saída: LPT1:, COM1:, /dev/usb/lp0, /dev/ttyUSB0, "
      "cups:FILA, tcp://IP:9100 ...");
#endif
#ifdef QRTICKET_HAVE_VIEWER
  portHelp += QStringLiteral(
      "\nVISUALIZAR: mostra no ecrã o talão que a impressora imprimiria, sem impressora.");
#endif
  ObjPrint_->setToolTip(portHelp);

  Label6_ = MakeLabel(Frame1_, "Label6", QStringLiteral("Tamanho"), TwipsRect(270, 930, 1095, 435),
                      Qt::AlignRight);
  Tamanho_ = Place(new QLineEdit(Frame1_), "Tamanho", TwipsRect(1500, 870, 675, 345));

  Label7_ = MakeLabel(Frame1_, "Label7", QStringLiteral("QR Code"),
                      TwipsRect(270, 1350, 1095, 435), Qt::AlignRight);
  ListModel_ = Place(new QComboBox(Frame1_), "ListModel", TwipsRect(1500, 1290, 1545, 315));
  MakeEditableList(*ListModel_);
  ListModel_->addItems({QStringLiteral("Modelo 1"), QStringLiteral("Modelo 2"),
                        QStringLiteral("MIcro QR Code")});

  Label8_ = MakeLabel(Frame1_, "Label8", QStringLiteral("Correção Erro"),
                      TwipsRect(240, 1740, 1095, 435), Qt::AlignRight);
  ListError_ = Place(new QComboBox(Frame1_), "ListError", TwipsRect(1500, 1710, 1545, 315));
  MakeEditableList(*ListError_);
  ListError_->addItems({QStringLiteral("Nivel L"), QStringLiteral("Nivel M"),
                        QStringLiteral("Nivel Q"), QStringLiteral("Nivel H")});

  ChkPag_ = MakeCheckBox(Frame1_, "ChkPag", QStringLiteral("Modo página"),
                         TwipsRect(420, 2130, 1245, 225), true);
  chkCentrado_ = MakeCheckBox(Frame1_, "chkCentrado", QStringLiteral("Centrado"),
                              TwipsRect(690, 2460, 975, 225), true);
  chkNew_ = MakeCheckBox(Frame1_, "chkNew", QStringLiteral("woosim"),
                         TwipsRect(2970, 2430, 975, 255), false);

  Command1_ = Place(new QPushButton(QStringLiteral("Imprimir"), Frame1_), "Command1",
                    TwipsRect(4440, 930, 1935, 1725));
  GiveButtonFace(Command1_);
  Command2_ = Place(new QPushButton(QStringLiteral("Fechar"), this), "Command2",
                   TwipsRect(4890, 6750, 1965, 615));
  GiveButtonFace(Command2_);
  // Left of "Fechar", the same size, in the room the window had there.
  cmdEstado_ = Place(new QPushButton(QStringLiteral("Estado"), this), "cmdEstado",
                     TwipsRect(2805, 6750, 1965, 615));
  GiveButtonFace(cmdEstado_);
  cmdEstado_->setToolTip(QStringLiteral(
      "Pergunta à impressora o seu estado e quem é (rede, porta série ou USB)"));

  // Three controls that were drawn on the window's bottom edge and never shown or used.
  Label4_ = MakeLabel(this, "Label4", QStringLiteral("Nivel correcção erros"),
                      TwipsRect(540, 7500, 1575, 255));
  Combo3_ = Place(new QComboBox(this), "Combo3", TwipsRect(2700, 7500, 2175, 315));
  Combo3_->addItems({QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Q"),
                     QStringLiteral("H")});
  Check1_ = MakeCheckBox(this, "Check1", QStringLiteral("Contorno"),
                         TwipsRect(4950, 7500, 2175, 255), false);
  Label4_->hide();
  Combo3_->hide();
  Check1_->hide();
}

void Form1::SetTabOrder() {
  const QList<QWidget*> order = {Text1_,    Command1_,  Command2_, cmdEstado_, ObjPrint_,
                                 Tamanho_,  ListModel_, ListError_, ChkPag_,   chkCentrado_,
                                 chkNew_};
  for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

}  // namespace qrticket::ui
