#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pump::app {

bool InstallQtChineseTranslations() {
  // Kept for the life of the program: the application only refers to it.
  static QTranslator* const translator = [] {
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral("qtbase_zh_CN"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete loaded;
      return static_cast<QTranslator*>(nullptr);
    }
    QCoreApplication::installTranslator(loaded);
    return loaded;
  }();
  return translator != nullptr;
}

}  // namespace pump::app
