// The device list of the main window (see device_list.h).
#include "device_list.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <string_view>

namespace qrticket::ui {
namespace {

#ifdef QRTICKET_HAVE_VIEWER
constexpr bool kPreviewBuilt = true;
#else
constexpr bool kPreviewBuilt = false;
#endif

// Space between the names and the descriptions, in average character widths.
constexpr int kGap = 3;

// Paints an entry as its name, then its description greyed in a column of its own.
class DeviceEntryDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // Where the descriptions start: just past the widest name.
  void SetNameColumnWidth(int width) { nameColumnWidth_ = width; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QString description = index.data(DeviceListBox::kDescriptionRole).toString();
    if (description.isEmpty()) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString name = item.text;
    item.text.clear();
    const QWidget* widget = item.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);  // background, selection

    // The same inner margin the plain entries get, so every name starts at the same place.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                               .adjusted(margin, 0, -margin, 0);
    const bool selected = (item.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, name);
    const int start = std::max(nameColumnWidth_, item.fontMetrics.horizontalAdvance(name) +
                                                     kGap * item.fontMetrics.averageCharWidth());
    const QRect rest = textRect.adjusted(start, 0, 0, 0);
    QColor grey = item.palette.color(QPalette::PlaceholderText);
    if (selected) grey = item.palette.color(QPalette::HighlightedText);
    painter->setPen(grey);
    painter->drawText(rest, Qt::AlignVCenter | Qt::AlignLeft,
                      item.fontMetrics.elidedText(description, Qt::ElideRight, rest.width()));
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString description = index.data(DeviceListBox::kDescriptionRole).toString();
    if (description.isEmpty()) return size;
    const QString name = index.data(Qt::DisplayRole).toString();
    const QFontMetrics& metrics = option.fontMetrics;
    const int nameWidth = std::max(
        nameColumnWidth_, metrics.horizontalAdvance(name) + kGap * metrics.averageCharWidth());
    size.setWidth(size.width() - metrics.horizontalAdvance(name) + nameWidth +
                  metrics.horizontalAdvance(description));
    return size;
  }

 private:
  int nameColumnWidth_ = 0;
};

}  // namespace

DeviceListBox::DeviceListBox(QWidget* parent)
    : QComboBox(parent), lister_([] { return ThisMachinesDevices(kPreviewBuilt); }) {
  setItemDelegate(new DeviceEntryDelegate(this));
  setMaxVisibleItems(kFixedEntries + 16);  // the whole list of a well-equipped counter at once
}

void DeviceListBox::Refresh() {
  const std::vector<DiscoveredDevice> devices =
      lister_ ? lister_() : std::vector<DiscoveredDevice>{};
  const std::vector<DeviceEntry> entries = DeviceEntries(devices);
  const std::vector<std::string> fixedDescriptions = FixedEntryDescriptions(devices);
  const QString text = currentText();
  const int index = currentIndex();
  const std::string chosen = index >= kFixedEntries ? itemText(index).toStdString() : std::string();

  const QSignalBlocker quiet(this);  // the box's text does not change, so nothing is chosen
  while (count() > kFixedEntries) removeItem(count() - 1);
  int nameWidth = 0;
  const QFontMetrics metrics(view()->font());
  // A fixed entry this machine has ("COM1:") carries the device's description itself.
  for (int i = 0; i < kFixedEntries && i < static_cast<int>(fixedDescriptions.size()); ++i) {
    const QString description = QString::fromStdString(fixedDescriptions[i]);
    setItemData(i, description, kDescriptionRole);
    setItemData(i, description, Qt::ToolTipRole);
    if (!description.isEmpty()) nameWidth = std::max(nameWidth, metrics.horizontalAdvance(itemText(i)));
  }
  for (const DeviceEntry& entry : entries) {
    const QString name = QString::fromStdString(entry.name);
    const QString description = QString::fromStdString(entry.description);
    addItem(name);
    setItemData(count() - 1, description, kDescriptionRole);
    setItemData(count() - 1, description, Qt::ToolTipRole);
    nameWidth = std::max(nameWidth, metrics.horizontalAdvance(name));
  }
  static_cast<DeviceEntryDelegate*>(itemDelegate())
      ->SetNameColumnWidth(nameWidth + kGap * metrics.averageCharWidth());

  // Removing the entries moved the selection if it was one of them; put it where it belongs.
  if (index >= kFixedEntries) setCurrentIndex(PositionAfterRefresh(index, chosen, entries));
  if (currentText() != text) setEditText(text);
}

void DeviceListBox::WidenPopupForDescriptions() {
  QStyleOptionViewItem option;
  option.initFrom(view());
  int widest = 0;
  for (int row = 0; row < count(); ++row)
    widest = std::max(widest,
                      itemDelegate()->sizeHint(option, model()->index(row, modelColumn())).width());
  widest += view()->verticalScrollBar()->sizeHint().width() + 2 * view()->frameWidth() + 8;
  if (const QScreen* screen = this->screen())
    widest = std::min(widest, screen->availableGeometry().width());
  view()->setMinimumWidth(std::max(widest, width()));
}

void DeviceListBox::showPopup() {
  Refresh();
  WidenPopupForDescriptions();
  QComboBox::showPopup();
}

}  // namespace qrticket::ui
