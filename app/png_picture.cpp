#include "app/png_picture.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QPixmap>
#include <QProxyStyle>

namespace pump::app {

QImage ReadPng(const QString& path) {
  QImageReader reader(path, "png");
  // Told not to guess, the reader asks only a plugin registered for "png"
  // (there is none) before its own.
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

namespace {

// Qt's style draws the menu bar's overflow button from its own pictures,
// every size of one name, through a reader left to guess.
QIcon IconOfQtPictures(const QString& prefix) {
  const QDir pictures(QStringLiteral(":/qt-project.org/styles/commonstyle/images"));
  QIcon icon;
  for (const QString& name : pictures.entryList({prefix + "[0-9]*.png"}, QDir::Files)) {
    icon.addPixmap(QPixmap::fromImage(ReadPng(pictures.filePath(name))));
  }
  return icon;
}

class PngStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                     const QWidget* widget) const override {
    const bool rightToLeft = QApplication::layoutDirection() == Qt::RightToLeft;
    switch (icon) {
      case SP_ToolBarHorizontalExtensionButton:
        return IconOfQtPictures(rightToLeft ? "toolbar-ext-h-rtl-" : "toolbar-ext-h-");
      case SP_ToolBarVerticalExtensionButton:
        return IconOfQtPictures(QStringLiteral("toolbar-ext-v-"));
      default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
  }
};

}  // namespace

QStyle* StyleReadingPng() { return new PngStyle(QApplication::style()); }

}  // namespace pump::app
