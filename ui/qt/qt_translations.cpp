// Qt's own texts in Portuguese (see qt_translations.h).
#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace qrticket::ui {
namespace {

// Texts the catalogues get wrong for us, by Qt's context and English source text.
struct Correction {
  const char* context;
  const char* source;
  const char* text;
};

constexpr Correction kCorrections[] = {
    // Saving is "Guardar", as in our "Guardar PNG..." (the catalogues say "Gravar" and "Salvar").
    {"QFileDialog", "&Save", "&Guardar"},
    {"QPlatformTheme", "Save", "Guardar"},
    // A typing slip in the European catalogue ("FIcheiros").
    {"QFileDialog", "Files of type:", "Ficheiros do tipo:"},
};

// Asked before the catalogues. Besides the corrections, gives the menu of multi-line text boxes
// (Text1, the preview's report) the European catalogue's words for the very same menu of
// single-line boxes, which it translates and the multi-line one it does not: otherwise one
// window would offer "Cortar" in one box and the Brazilian "Recortar" in the next.
class EuropeanCorrections final : public QTranslator {
 public:
  EuropeanCorrections(const QTranslator& european, QObject* parent)
      : QTranslator(parent), european_(european) {}

  QString translate(const char* context, const char* source, const char* disambiguation,
                    int n) const override {
    for (const Correction& c : kCorrections)
      if (std::strcmp(context, c.context) == 0 && std::strcmp(source, c.source) == 0)
        return QString::fromUtf8(c.text);
    if (std::strcmp(context, "QWidgetTextControl") == 0)
      return european_.translate("QLineEdit", source, disambiguation, n);
    return {};
  }
  bool isEmpty() const override { return false; }

 private:
  const QTranslator& european_;
};

}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

QStringList InstallQtTranslations(QCoreApplication& app, const QString& folder) {
  QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Portugal));
  QStringList loaded;
  // The catalogue installed last is asked first.
  auto install = [&](const QString& name) -> QTranslator* {
    auto* catalogue = new QTranslator(&app);
    if (!catalogue->load(name, folder)) {
      delete catalogue;
      return nullptr;
    }
    QCoreApplication::installTranslator(catalogue);
    loaded << name;
    return catalogue;
  };
  install(QStringLiteral("qtbase_pt_BR"));
  if (const QTranslator* european = install(QStringLiteral("qt_pt_PT")))
    QCoreApplication::installTranslator(new EuropeanCorrections(*european, &app));
  return loaded;
}

}  // namespace qrticket::ui
