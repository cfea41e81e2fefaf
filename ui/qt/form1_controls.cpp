// Form1's controls on Qt, made from the layout table: names, captions, fonts, colours and
// places as the window was drawn; and the context menus.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app_identity.h"
#include "device_list.h"
#include "editable_list.h"
#include "fonts.h"
#include "form1.h"
#include "form_layout.h"
#include "form_texts.h"
#include "pictures.h"
#include "twips.h"

namespace qrticket::ui {
namespace {

#ifdef QRTICKET_HAVE_VIEWER
constexpr bool kPreviewBuilt = true;
#else
constexpr bool kPreviewBuilt = false;
#endif

const QColor kGreyFace(kButtonFace.red, kButtonFace.green, kButtonFace.blue);

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList Entries(const ControlSpec& spec) {
  QStringList entries;
  for (const std::string_view entry : spec.entries) entries << FromUtf8(entry);
  return entries;
}

Qt::Alignment Horizontal(Align align) {
  switch (align) {
    case Align::Centre: return Qt::AlignHCenter;
    case Align::Right: return Qt::AlignRight;
    case Align::Left: break;
  }
  return Qt::AlignLeft;
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
  palette.setColor(QPalette::Button, kGreyFace);
  button->setPalette(palette);
}

QWidget* MakeControl(const ControlSpec& spec, QWidget* container) {
  const QString caption = FromUtf8(spec.caption);
  switch (spec.kind) {
    case ControlKind::Picture: {
      auto* picture = new QLabel(container);
      picture->setPixmap(spec.picture == Picture::Logo52 ? LogoPicture() : SplashLogoPicture());
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // natural size, from the top left
      return picture;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(caption, container);
      label->setAlignment(Horizontal(spec.align) | Qt::AlignTop);  // from the top of the box
      label->setWordWrap(spec.wraps);
      if (spec.border) GiveSingleBorder(label);
      return label;
    }
    case ControlKind::TextBox: return new QLineEdit(container);
    case ControlKind::MultiLineText: {
      auto* text = new QPlainTextEdit(container);
      text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      text->setTabChangesFocus(true);  // Tab moves on, as in every other box of the window
      return text;
    }
    case ControlKind::Frame: {
      auto* frame = new QGroupBox(caption, container);
      frame->setAutoFillBackground(true);
      return frame;
    }
    case ControlKind::EditableList: {
      auto* list = spec.deviceList ? new DeviceListBox(container) : new QComboBox(container);
      MakeEditableList(*list);
      list->addItems(Entries(spec));
      return list;
    }
    case ControlKind::FixedList: {
      auto* list = new QComboBox(container);
      list->addItems(Entries(spec));
      return list;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(caption, container);
      // The box sits right of the caption when the check box is laid out right to left.
      if (spec.boxOnTheRight) box->setLayoutDirection(Qt::RightToLeft);
      // The boxes were drawn for a narrower font; a smaller gap keeps "Modo página" whole.
      box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 4px; }"));
      return box;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(caption, container);
      if (spec.greyFace) GiveButtonFace(button);
      return button;
    }
  }
  return nullptr;
}

}  // namespace

void Form1::CreateControls() {
  const WindowSpec& layout = Form1Layout();
  setObjectName(FromUtf8(layout.name));
  setWindowTitle(FromUtf8(layout.caption));
  setWindowIcon(AppIcon());
  // Fixed dialog frame: title and close button only; the size cannot change.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(TwipsSize(layout.clientWidth, layout.clientHeight));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setFont(LayoutFont(layout.font));

  for (const ControlSpec& spec : layout.controls) {
    QWidget* container = spec.container == layout.name
                             ? this
                             : findChild<QWidget*>(FromUtf8(spec.container));
    QWidget* control = MakeControl(spec, container);
    control->setObjectName(FromUtf8(spec.name));
    control->setGeometry(TwipsRect(spec.rect.left, spec.rect.top, spec.rect.width, spec.rect.height));
    if (spec.font) control->setFont(LayoutFont(*spec.font));
    if (spec.hidden) control->hide();
  }

  Widget(Control::ObjPrint)
      ->setToolTip(QString::fromStdString(texts::DeviceBoxToolTip(kPreviewBuilt)));
  Widget(Control::cmdEstado)->setToolTip(FromUtf8(texts::StatusButtonToolTip()));
  Widget(Control::Command1)->setToolTip(FromUtf8(texts::PrintButtonToolTip()));
}

void Form1::SetTabOrder() {
  const std::vector<const ControlSpec*> order = FocusOrder(Form1Layout());
  for (std::size_t i = 0; i + 1 < order.size(); ++i)
    QWidget::setTabOrder(findChild<QWidget*>(FromUtf8(order[i]->name)),
                         findChild<QWidget*>(FromUtf8(order[i + 1]->name)));
}

// The context menus of the table, each a child of the control it opens on.
void Form1::AddMenus() {
  for (const MenuSpec& spec : Form1Layout().menus) {
    if (!Offered(spec)) continue;
    QWidget* owner = Widget(spec.owner);
    auto* menu = new QMenu(owner);
    menu->setObjectName(FromUtf8(spec.name));
    for (const MenuItemSpec& item : spec.items) {
      QAction* action = menu->addAction(FromUtf8(item.caption()));
      action->setObjectName(FromUtf8(item.name));
      action->setCheckable(item.checkable);
      const MenuItem chosen = item.item;
      connect(action, &QAction::triggered, this, [this, chosen] { model_.Chosen(chosen); });
      // The model keeps the tick: the menu shows it afresh every time it opens.
      if (item.checkable) {
        connect(menu, &QMenu::aboutToShow, action,
                [this, action, chosen] { action->setChecked(model_.Checked(chosen)); });
      }
    }
    owner->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(owner, &QWidget::customContextMenuRequested, menu,
            [owner, menu](const QPoint& at) { menu->popup(owner->mapToGlobal(at)); });
  }
}

}  // namespace qrticket::ui
