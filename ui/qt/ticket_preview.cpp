// The preview window of "VISUALIZAR:" and the hook that fills it (see ticket_preview.h).
#include "ticket_preview.h"

#include <QApplication>
#include <QDialogButtonBox>
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
#include <QVBoxLayout>

#include "app_identity.h"
#include "form_texts.h"
#include "png_writer.h"
#include "preview_ticket.h"
#include "ticket/code_table_ticket.h"
#include "window_placement.h"

namespace qrticket::ui {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QImage ImageOf(const viewer::RenderedTicket& ticket) {
  QImage image(ticket.width, ticket.height, QImage::Format_Grayscale8);
  for (int y = 0; y < ticket.height; ++y)
    std::copy_n(ticket.pixels.data() + static_cast<std::size_t>(y) * ticket.width, ticket.width,
                image.scanLine(y));
  return image;
}

}  // namespace

TicketPreview::TicketPreview(viewer::RenderedTicket ticket, QWidget* parent)
    : QDialog(parent), ticket_(std::move(ticket)) {
  setObjectName(QStringLiteral("TicketPreview"));
  setWindowTitle(QString::fromStdString(texts::PreviewTitle()));
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
  buttons->button(QDialogButtonBox::Close)->setText(FromUtf8(texts::CloseButton()));
  auto* save = buttons->addButton(FromUtf8(texts::SavePngButton()), QDialogButtonBox::ActionRole);
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
      this, FromUtf8(texts::SaveDialogTitle()), FromUtf8(texts::SaveDialogFileName()),
      FromUtf8(texts::SaveDialogFilter()), nullptr, QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  QString error;
  if (!SaveTo(path, &error))
    QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), error, QMessageBox::Ok,
                this)
        .exec();
}

void ShowCodeTablesPreview(QWidget* parent) {
  TicketPreview preview(viewer::RenderTicket(CodeTableTicketBytes()), parent);
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  preview.exec();
  QGuiApplication::restoreOverrideCursor();
}

void ShowTicketPreview(const QrPrintSettings& settings, FailureReporter& reporter) {
  const std::optional<Bytes> bytes = PreviewTicketBytes(settings, reporter);
  if (!bytes) return;
  TicketPreview preview(viewer::RenderTicket(*bytes), QApplication::activeWindow());
  // The job ran under a busy cursor; looking at the ticket needs the normal one.
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  preview.exec();
  QGuiApplication::restoreOverrideCursor();
}

}  // namespace qrticket::ui
