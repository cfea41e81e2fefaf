// The device box of the main window: the nine fixed entries stay, the devices follow with
// their descriptions, the list is read again every time it opens, and choosing an entry puts
// exactly its name in the box. Real window, offscreen, real clicks.
#include "device_list.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "discovery/device_discovery.h"
#include "form1.h"
#include "gui_helpers.h"

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::TypeReplacing;
using testing::WaitFor;

const QStringList kFixed = {
    "LPT1:", "LPT2:", "COM1:", "COM2:", "COM3:", "COM4:", "COM5:", "COM6:", ""};

DiscoveredDevice Device(std::string name, std::string description, bool writable = true,
                        std::string group = {}) {
  return {std::move(name), std::move(description), writable, std::move(group)};
}

const std::vector<DiscoveredDevice> kCounter = {
    Device("/dev/usb/lp0", "Impressora USB EPSON TM-T20II (ESC/POS)"),
    Device("/dev/ttyUSB0", "Porta série USB /dev/ttyUSB0", false, "dialout"),
    Device("cups:Recibos", "Fila CUPS: Local Raw Printer, pronta, predefinida"),
    Device("VISUALIZAR:", "Pré-visualização: mostra no ecrã o talão que a impressora imprimiria"),
};

class DeviceListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    box_ = qobject_cast<DeviceListBox*>(ControlNamed<QComboBox>(form_, "ObjPrint"));
    ASSERT_NE(box_, nullptr) << "ObjPrint is not the device list";
    box_->SetLister([this] {
      ++reads_;
      return devices_;
    });
  }

  void Open() {
    box_->showPopup();
    ASSERT_TRUE(WaitFor([this] { return box_->view()->isVisible(); }));
  }
  void Close() {
    box_->hidePopup();
    ASSERT_TRUE(WaitFor([this] { return !box_->view()->isVisible(); }));
  }
  // Clicks the entry at `row` in the open list, as the operator does.
  void Click(int row) {
    QAbstractItemView* view = box_->view();
    const QRect where = view->visualRect(box_->model()->index(row, 0));
    ASSERT_TRUE(where.isValid()) << "row " << row << " is not shown";
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where.center());
    ASSERT_TRUE(WaitFor([view] { return !view->isVisible(); }));
  }
  QStringList Entries() const {
    QStringList entries;
    for (int i = 0; i < box_->count(); ++i) entries << box_->itemText(i);
    return entries;
  }
  bool PrintEnabled() { return ControlNamed<QPushButton>(form_, "Command1")->isEnabled(); }

  Form1 form_;
  DeviceListBox* box_ = nullptr;
  std::vector<DiscoveredDevice> devices_ = kCounter;
  int reads_ = 0;
};

TEST_F(DeviceListTest, LoadKeepsTheNineEntriesWithTheEmptyOneSelected) {
  EXPECT_EQ(Entries(), kFixed);
  EXPECT_EQ(box_->currentIndex(), 8);
  EXPECT_EQ(reads_, 0);
}

TEST_F(DeviceListTest, OpeningAddsTheDevicesWithTheirDescriptions) {
  Open();
  EXPECT_EQ(reads_, 1);
  const QStringList found = {"/dev/usb/lp0", "/dev/ttyUSB0", "cups:Recibos", "VISUALIZAR:"};
  EXPECT_EQ(Entries(), kFixed + found);
  for (int i = 0; i < DeviceListBox::kFixedEntries; ++i)
    EXPECT_TRUE(box_->itemData(i, DeviceListBox::kDescriptionRole).toString().isEmpty()) << i;
  for (std::size_t k = 0; k < kCounter.size(); ++k) {
    const int i = DeviceListBox::kFixedEntries + static_cast<int>(k);
    const QString shown = QString::fromStdString(ShownDescription(kCounter[k]));
    EXPECT_EQ(box_->itemData(i, DeviceListBox::kDescriptionRole).toString(), shown) << i;
    EXPECT_EQ(box_->itemData(i, Qt::ToolTipRole).toString(), shown) << i;
  }
  EXPECT_EQ(
      box_->itemData(10, Qt::ToolTipRole).toString(),
      QStringLiteral("Porta série USB /dev/ttyUSB0 — sem permissão: junte-se ao grupo dialout"));
  // The longest name and its description fit side by side, not cut off.
  const QAbstractItemView* view = box_->view();
  const QString longest = box_->itemText(12) + box_->itemData(12, Qt::ToolTipRole).toString();
  EXPECT_GE(view->viewport()->width(), QFontMetrics(view->font()).horizontalAdvance(longest));
  Close();
}

TEST_F(DeviceListTest, ChoosingAnEntryPutsExactlyItsName) {
  Open();
  Click(11);
  EXPECT_EQ(box_->currentText(), QStringLiteral("cups:Recibos"));
  EXPECT_EQ(box_->lineEdit()->text(), QStringLiteral("cups:Recibos"));
  EXPECT_TRUE(PrintEnabled());
  EXPECT_EQ(form_.SettingsFromControls().deviceName, "cups:Recibos");

  Open();
  Click(8);  // the empty entry again
  EXPECT_EQ(box_->currentText(), QString());
  EXPECT_FALSE(PrintEnabled());
}

TEST_F(DeviceListTest, ReadAgainEachTimeItOpens) {
  devices_ = {Device("/dev/ttyS0", "x")};
  Open();
  Close();
  // A printer plugged in meanwhile appears; the one unplugged goes.
  devices_ = {Device("/dev/usb/lp0", "Impressora USB"), Device("VISUALIZAR:", "y")};
  Open();
  EXPECT_EQ(reads_, 2);
  const QStringList found = {"/dev/usb/lp0", "VISUALIZAR:"};
  EXPECT_EQ(Entries(), kFixed + found);
  Close();
  devices_.clear();
  Open();
  EXPECT_EQ(Entries(), kFixed);
  Close();
}

TEST_F(DeviceListTest, AChosenDeviceStaysChosenWhileItIsThere) {
  Open();
  Click(11);                         // cups:Recibos
  devices_.erase(devices_.begin());  // it moves up one place
  Open();
  EXPECT_EQ(box_->currentIndex(), 10);
  EXPECT_EQ(box_->currentText(), QStringLiteral("cups:Recibos"));
  Close();

  devices_.clear();  // gone: the text stays, nothing is chosen
  Open();
  EXPECT_EQ(box_->currentIndex(), -1);
  EXPECT_EQ(box_->currentText(), QStringLiteral("cups:Recibos"));
  Close();
  EXPECT_TRUE(PrintEnabled());
}

TEST_F(DeviceListTest, TypedTextStaysWhenTheListOpens) {
  TypeReplacing(box_->lineEdit(), QStringLiteral(" /dev/ttyACM0 "));
  Open();
  Close();
  EXPECT_EQ(box_->currentText(), QStringLiteral(" /dev/ttyACM0 "));
  EXPECT_EQ(box_->currentIndex(), -1);
  EXPECT_TRUE(PrintEnabled());
}

// Without a lister of the test's own: this machine's devices (no CUPS scheduler answers on
// loopback port 1), and the preview last when the virtual printer is built.
TEST(DeviceListOfThisMachine, EndsWithThePreview) {
  qputenv("CUPS_SERVER", "127.0.0.1:1");
  Form1 form;
  auto* box = qobject_cast<DeviceListBox*>(form.findChild<QComboBox*>(QStringLiteral("ObjPrint")));
  ASSERT_NE(box, nullptr);
  box->Refresh();
  ASSERT_GE(box->count(), DeviceListBox::kFixedEntries);
#ifdef QRTICKET_HAVE_VIEWER
  EXPECT_EQ(box->itemText(box->count() - 1), QStringLiteral("VISUALIZAR:"));
#endif
  for (int i = DeviceListBox::kFixedEntries; i < box->count(); ++i)
    EXPECT_FALSE(box->itemText(i).startsWith(QStringLiteral("cups:"))) << "no scheduler runs";
}

}  // namespace
}  // namespace qrticket::ui
