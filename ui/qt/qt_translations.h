// Qt's own texts in Portuguese: the file dialog, the context menus of text boxes, standard
// buttons, and dates and sizes in the file dialog.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace qrticket::ui {

// Where Qt keeps its translation catalogues (on Debian /usr/share/qt6/translations, filled by
// qt6-translations-l10n).
QString QtTranslationsFolder();

// Installs Qt's Portuguese catalogues from `folder` into `app`, whatever the desktop's language,
// since the whole program speaks Portuguese: European Portuguese (qt_pt_PT) first, Brazilian
// (qtbase_pt_BR) for the texts the older European catalogue lacks, and a few corrections of our
// own on top (see qt_translations.cpp). Also makes European Portuguese the default locale.
// Returns the catalogues loaded, by name; none when the folder lacks them, and Qt's texts stay
// in English.
QStringList InstallQtTranslations(QCoreApplication& app, const QString& folder);

}  // namespace qrticket::ui
