// Qt's own texts in Portuguese: the file dialog of "Guardar PNG...", the context menus of the
// window's text boxes, and which catalogue wins where both languages have a text. Needs Debian's
// qt6-translations-l10n (scripts/deps.sh installs it).
#include "qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMap>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include "form1.h"
#include "gui_helpers.h"
#ifdef QRTICKET_HAVE_VIEWER
#include "ticket_preview.h"
#endif

namespace qrticket::ui {
namespace {

using testing::ControlNamed;
using testing::WaitFor;

// Replaces whatever catalogues are installed with those InstallQtTranslations finds in `folder`.
QStringList UseCataloguesFrom(const QString& folder) {
  for (QTranslator* catalogue : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(catalogue);
    delete catalogue;
  }
  return InstallQtTranslations(*qApp, folder);
}

void UseTheInstalledCatalogues() {
  for (const char* file : {"qt_pt_PT.qm", "qtbase_pt_BR.qm"}) {
    ASSERT_TRUE(QFile::exists(QDir(QtTranslationsFolder()).filePath(QLatin1String(file))))
        << file << " is missing from " << QtTranslationsFolder().toStdString()
        << ": install qt6-translations-l10n";
  }
  ASSERT_EQ(UseCataloguesFrom(QtTranslationsFolder()).size(), 2);
}

struct CatalogueCase {
  const char* name;
  QStringList present;         // copied from Qt's folder into the one the program reads
  QStringList expectedLoaded;  // what InstallQtTranslations reports
  const char* fileNameLabel;   // QFileDialog "File &name:"
  const char* cutInTextBox;    // the multi-line text box's "Cu&t"
};

void PrintTo(const CatalogueCase& c, std::ostream* out) { *out << c.name; }

class Catalogues : public ::testing::TestWithParam<CatalogueCase> {
 protected:
  void TearDown() override { UseCataloguesFrom(QString()); }
};

TEST_P(Catalogues, EuropeanWhereItExistsBrazilianForTheRest) {
  const CatalogueCase& c = GetParam();
  QTemporaryDir folder;
  for (const QString& name : c.present) {
    ASSERT_TRUE(QFile::copy(QDir(QtTranslationsFolder()).filePath(name + QStringLiteral(".qm")),
                            folder.filePath(name + QStringLiteral(".qm"))))
        << name.toStdString() << ": install qt6-translations-l10n";
  }
  EXPECT_EQ(UseCataloguesFrom(folder.path()), c.expectedLoaded);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"),
            QString::fromUtf8(c.fileNameLabel));
  EXPECT_EQ(QCoreApplication::translate("QWidgetTextControl", "Cu&t"),
            QString::fromUtf8(c.cutInTextBox));
  // Texts only the Brazilian catalogue has: Portuguese either way, when it is there.
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"),
            c.present.contains(QStringLiteral("qtbase_pt_BR")) ? QStringLiteral("Cancelar")
                                                               : QStringLiteral("Cancel"));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Catalogues,
    ::testing::Values(
        CatalogueCase{"Both",
                      {"qt_pt_PT", "qtbase_pt_BR"},
                      {"qtbase_pt_BR", "qt_pt_PT"},
                      "&Nome do Ficheiro:",
                      "Cor&tar"},
        CatalogueCase{"EuropeanOnly", {"qt_pt_PT"}, {"qt_pt_PT"}, "&Nome do Ficheiro:", "Cor&tar"},
        CatalogueCase{
            "BrazilianOnly", {"qtbase_pt_BR"}, {"qtbase_pt_BR"}, "&Nome do arquivo:", "Recor&tar"},
        CatalogueCase{"None", {}, {}, "File &name:", "Cu&t"}),
    [](const auto& info) { return std::string(info.param.name); });

// A menu's entries without their shortcuts, separators left out.
QStringList EntriesOf(const QMenu& menu) {
  QStringList entries;
  for (const QAction* action : menu.actions())
    if (!action->isSeparator()) entries << action->text().section(QLatin1Char('\t'), 0, 0);
  return entries;
}

// Opens the context menu of `box` as a right click does and returns its entries.
QStringList ContextMenuOf(QWidget* box) {
  const QPoint at(5, 5);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
  QApplication::sendEvent(box, &click);  // the menu pops up and the event returns
  QMenu* menu = nullptr;
  EXPECT_TRUE(WaitFor([&menu] {
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr;
  }));
  if (!menu) return {};
  const QStringList entries = EntriesOf(*menu);
  menu->close();
  return entries;
}

TEST(TextBoxMenus, EveryTextBoxOfTheWindowSpeaksEuropeanPortuguese) {
  ASSERT_NO_FATAL_FAILURE(UseTheInstalledCatalogues());
  Form1 form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const QStringList expected = {"&Desfazer", "&Refazer", "Cor&tar",         "&Copiar",
                                "Co&lar",    "Apagar",   "Seleccionar Tudo"};
  auto* text1 = ControlNamed<QPlainTextEdit>(form, "Text1");
  EXPECT_EQ(ContextMenuOf(text1->viewport()), expected) << "Text1";
  EXPECT_EQ(ContextMenuOf(ControlNamed<QLineEdit>(form, "Tamanho")), expected) << "Tamanho";
  EXPECT_EQ(ContextMenuOf(ControlNamed<QComboBox>(form, "ObjPrint")->lineEdit()), expected)
      << "ObjPrint";
  UseCataloguesFrom(QString());
}

#ifdef QRTICKET_HAVE_VIEWER
// Every text a dialog shows, keyed by where it shows: captions, tool tips, column titles, the
// side bar's places and the entries of its menus.
QMap<QString, QString> TextsOf(QWidget& dialog) {
  QMap<QString, QString> texts;
  auto add = [&texts](const QObject* where, const QString& role, const QString& text) {
    if (text.isEmpty()) return;
    QString key =
        QStringLiteral("%1 %2 %3")
            .arg(QLatin1String(where->metaObject()->className()), where->objectName(), role);
    while (texts.contains(key)) key += QLatin1Char('+');
    texts.insert(key, text);
  };
  for (QWidget* widget : dialog.findChildren<QWidget*>()) {
    add(widget, QStringLiteral("tip"), widget->toolTip());
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button, "text", button->text());
    if (auto* label = qobject_cast<QLabel*>(widget)) add(label, "text", label->text());
    if (auto* header = qobject_cast<QHeaderView*>(widget)) {
      for (int i = 0; i < header->count(); ++i)
        add(header, QString::number(i),
            header->model()->headerData(i, header->orientation()).toString());
    }
  }
  if (auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"))) {
    for (int row = 0; row < places->model()->rowCount(); ++row)
      add(places, QString::number(row), places->model()->index(row, 0).data().toString());
  }
  for (QAction* action : dialog.findChildren<QAction*>())
    add(action, QStringLiteral("text"), action->text().section(QLatin1Char('\t'), 0, 0));
  return texts;
}

// Clicks "Guardar PNG..." in a preview and returns the texts of the file dialog it opens, which
// is then cancelled.
QMap<QString, QString> TextsOfTheSaveDialog() {
  TicketPreview preview(viewer::RenderTicket("\x1B@abc\n"));
  preview.show();
  QMap<QString, QString> texts;
  bool qtsOwnDialog = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      qtsOwnDialog = dialog->testOption(QFileDialog::DontUseNativeDialog);
      texts = TextsOf(*dialog);
      dialog->reject();
    }
  });
  poll.start(10);
  QTimer::singleShot(5000, [] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
      dialog->reject();
  });
  ControlNamed<QPushButton>(preview, "savePng")->click();
  EXPECT_TRUE(qtsOwnDialog) << "the desktop's dialog would follow the desktop's language";
  return texts;
}

// Texts that are ours or the machine's, not Qt's: the same in any language.
bool IsOursOrAName(const QString& text) {
  return text == QLatin1String("Guardar talão") || text == QLatin1String("talao.png") ||
         text == QLatin1String("Imagens PNG (*.png)") || text.contains(QLatin1Char('/')) ||
         text == QDir::home().dirName();
}

TEST(SaveDialog, EveryQtTextIsTranslated) {
  UseCataloguesFrom(QString());
  const QMap<QString, QString> english = TextsOfTheSaveDialog();
  ASSERT_NO_FATAL_FAILURE(UseTheInstalledCatalogues());
  const QMap<QString, QString> portuguese = TextsOfTheSaveDialog();
  UseCataloguesFrom(QString());

  ASSERT_GT(english.size(), 20) << "the dialog was seen";
  EXPECT_EQ(portuguese.keys(), english.keys());
  for (auto it = english.cbegin(); it != english.cend(); ++it) {
    if (IsOursOrAName(it.value()) ||
        !it.value().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
      continue;
    EXPECT_NE(portuguese.value(it.key()), it.value()) << it.key().toStdString() << " stays English";
  }

  // Where the European catalogue has a text, it is the one shown.
  struct Shown {
    const char* where;
    const char* text;
  };
  for (const Shown& s :
       {Shown{"QLabel fileNameLabel text", "&Nome do Ficheiro:"},
        Shown{"QLabel fileTypeLabel text", "Ficheiros do tipo:"},
        Shown{"QToolButton backButton tip", "Recuar"},
        Shown{"QToolButton newFolderButton tip", "Criar Nova Pasta"},
        Shown{"QAction qt_show_hidden_action text", "Mostrar ficheiros &escondidos"}}) {
    EXPECT_EQ(portuguese.value(QLatin1String(s.where)), QString::fromUtf8(s.text)) << s.where;
  }
  EXPECT_TRUE(portuguese.values().contains(QStringLiteral("&Guardar")));
  EXPECT_TRUE(portuguese.values().contains(QStringLiteral("Cancelar")));
  EXPECT_TRUE(portuguese.values().contains(QStringLiteral("Data de Modificação")));
}
#endif

}  // namespace
}  // namespace qrticket::ui
