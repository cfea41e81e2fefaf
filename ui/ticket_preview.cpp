// The preview window of "VISUALIZAR:" and the hook that fills it (see ticket_preview.h).
#include "ticket_preview.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstring>

#include "app_identity.h"
#include "png_writer.h"
#include "preview_hook.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

QImage ImageOf(const viewer::RenderedTicket& ticket) {
  QImage image(ticket.width, ticket.height, QImage::Format_Grayscale8);
  for (int y = 0; y < ticket.height; ++y)
    std::copy_n(ticket.pixels.data() + static_cast<std::size_t>(y) * ticket.width, ticket.width,
                image.scanLine(y));
  return image;
}

// The job writes to a scratch file; the operator typed "VISUALIZAR:", so that is the name a
// failure message must show.
class RenamingReporter final : public FailureReporter {
 public:
  RenamingReporter(FailureReporter& inner, std::string scratch)
      : inner_(inner), scratch_(std::move(scratch)) {}
  void ShowFailure(const std::string& message) override {
    std::string shown = message;
    for (auto at = shown.find(scratch_); !scratch_.empty() && at != std::string::npos;
         at = shown.find(scratch_, at + std::strlen(kPreviewDeviceName)))
      shown.replace(at, scratch_.size(), kPreviewDeviceName);
    failed = true;
    inner_.ShowFailure(shown);
  }
  bool failed = false;

 private:
  FailureReporter& inner_;
  std::string scratch_;
};

}  // namespace

TicketPreview::TicketPreview(viewer::RenderedTicket ticket, QWidget* parent)
    : QDialog(parent), ticket_(std::move(ticket)) {
  setObjectName(QStringLiteral("TicketPreview"));
  setWindowTitle(QStringLiteral("%1 - Visualizar talão").arg(QString::fromUtf8(kApplicationTitle)));
  setModal(true);

  auto* paper = new QLabel;
  paper->setObjectName(QStringLiteral("paper"));
  paper->setPixmap(QPixmap::fromImage(ImageOf(ticket_)));
  auto* scroll = new QScrollArea;
  scroll->setWidget(paper);
  scroll->setAlignment(Qt::AlignHCenter);
  scroll->setBackgroundRole(QPalette::Dark);
  // The whole width of the paper, so only the length of the roll scrolls (where the screen
  // has room: see the end).
  scroll->setMinimumWidth(ticket_.width + scroll->verticalScrollBar()->sizeHint().width() +
                          2 * scroll->frameWidth());

  auto* report = new QPlainTextEdit;
  report->setObjectName(QStringLiteral("report"));
  report->setReadOnly(true);
  QStringList lines;
  for (const std::string& line : ticket_.report) lines << QString::fromStdString(line);
  report->setPlainText(lines.join(QLatin1Char('\n')));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fechar"));
  auto* save = buttons->addButton(QStringLiteral("Guardar PNG..."), QDialogButtonBox::ActionRole);
  save->setObjectName(QStringLiteral("savePng"));
  connect(save, &QPushButton::clicked, this, &TicketPreview::AskAndSave);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* columns = new QHBoxLayout;
  columns->addWidget(scroll, 3);
  columns->addWidget(report, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);

  // Fits the screen it opens on, over its parent: on a small screen or at a large display
  // scale the paper scrolls sideways too, rather than the buttons leaving the screen.
  const QSize room = RoomOnScreen(parent);
  if (minimumSizeHint().width() > room.width()) scroll->setMinimumWidth(0);
  resize(QSize(1000, 700).boundedTo(room));
  PlaceOver(*this, parent);
}

bool TicketPreview::SaveTo(const QString& path, QString* error) const {
  try {
    viewer::WritePng(ticket_, path.toStdString());
    return true;
  } catch (const viewer::PngError& e) {
    if (error) *error = QString::fromUtf8(e.what());
    return false;
  }
}

void TicketPreview::AskAndSave() {
  // Qt's own dialog, not the desktop's: its texts come from the Portuguese catalogues whatever
  // language the desktop speaks.
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Guardar talão"), QStringLiteral("talao.png"),
      QStringLiteral("Imagens PNG (*.png)"), nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  QString error;
  if (!SaveTo(path, &error))
    QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), error, QMessageBox::Ok,
                this)
        .exec();
}

void ShowTicketPreview(const QrPrintSettings& settings, FailureReporter& reporter) {
  QTemporaryDir scratchDir;
  if (!scratchDir.isValid()) {
    reporter.ShowFailure(std::string(kFailurePrefix) +
                         "Não foi possível criar uma pasta temporária para " + kPreviewDeviceName +
                         " (" + scratchDir.errorString().toStdString() + ")");
    return;
  }
  QrPrintSettings toFile = settings;
  toFile.deviceName = scratchDir.filePath(QStringLiteral("ticket.bin")).toStdString();
  RenamingReporter renaming(reporter, toFile.deviceName);
  PrintQrTest(toFile, renaming);
  if (renaming.failed) return;

  QFile file(QString::fromStdString(toFile.deviceName));
  file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();
  TicketPreview preview(viewer::RenderTicket(BytesView(bytes.constData(), bytes.size())),
                        QApplication::activeWindow());
  // The job ran under a busy cursor; looking at the ticket needs the normal one.
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  preview.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
