// The artwork and the menu bar's overflow icon, read without Qt's image
// plugins, are the very pixels Qt's own reader and style give.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QStyle>
#include <QStyleFactory>
#include <memory>

#include "app/png_picture.h"

namespace pump {
namespace {

TEST(PngArtwork, EveryPictureReadsAsQtsOwnReaderReadsIt) {
  const QDir assets(QStringLiteral(":/assets"));
  const QStringList pictures = assets.entryList({QStringLiteral("*.png")}, QDir::Files);
  ASSERT_GE(pictures.size(), 18);
  for (const QString& name : pictures) {
    const QImage ours = app::ReadPng(assets.filePath(name));
    const QImage qts(assets.filePath(name));
    ASSERT_FALSE(ours.isNull()) << name.toStdString();
    EXPECT_EQ(ours, qts.convertToFormat(ours.format())) << name.toStdString();
  }
  EXPECT_TRUE(app::ReadPng(QStringLiteral(":/assets/no-such-picture.png")).isNull());
}

TEST(PngArtwork, TheMenuBarsOverflowIconIsTheStylesOwnAtEverySize) {
  const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
  QStyle* ours = QApplication::style();
  for (const auto icon :
       {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
    for (const int size : {8, 16, 32}) {
      const QImage expected = fusion->standardIcon(icon).pixmap(size).toImage();
      const QImage shown = ours->standardIcon(icon).pixmap(size).toImage();
      ASSERT_FALSE(shown.isNull()) << size;
      EXPECT_EQ(shown.convertToFormat(expected.format()), expected) << icon << " at " << size;
    }
  }
}

}  // namespace
}  // namespace pump
