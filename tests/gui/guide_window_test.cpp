// The operator's guide: opened from 工具 > 使用说明, shown with its headings and
// pictures, found where the package installs it, and a box when it is nowhere.
#include "app/guide_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "app/composition.h"
#include "tests/support/doubles.h"

namespace pump {
namespace {

QStringList Headings(const QTextDocument& document, int level) {
  QStringList headings;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == level) headings << block.text();
  }
  return headings;
}

// The pictures the document shows, by the names it gives them.
QStringList PictureNames(const QTextDocument& document) {
  QStringList names;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextCharFormat format = fragment.fragment().charFormat();
      if (format.isImageFormat()) names << format.toImageFormat().name();
    }
  }
  return names;
}

// The picture as the document loads it for showing: a null image when it
// could not be loaded.
QImage LoadedPicture(QTextDocument& document, const QString& name) {
  const QVariant loaded = document.resource(QTextDocument::ImageResource, QUrl(name));
  if (loaded.canConvert<QImage>() && loaded.typeId() != QMetaType::QByteArray) {
    return loaded.value<QImage>();
  }
  return QImage::fromData(loaded.toByteArray());
}

TEST(Guide, ToolsMenuItemOpensTheGuideWithItsHeadingsAndEveryPictureLoaded) {
  app::Console console("");
  console.start();
  auto* item = console.mainWindowView().findChild<QAction*>("guide");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "使用说明");
  EXPECT_TRUE(console.mainWindowView().findChild<QMenu*>("tools")->actions().contains(item));
  EXPECT_TRUE(item->isEnabled());  // no port is open: the guide needs none

  item->trigger();
  app::GuideWindow* window = console.guide().window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "使用说明");
  QTextDocument& document = *window->browser().document();
  EXPECT_EQ(Headings(document, 1), QStringList{"计量泵控制台使用说明"});
  EXPECT_TRUE(Headings(document, 2).contains("状态行"))
      << Headings(document, 2).join('|').toStdString();

  const QStringList pictures = PictureNames(document);
  EXPECT_GE(pictures.size(), 10);
  for (const QString& name : pictures) {
    const QImage picture = LoadedPicture(document, name);
    EXPECT_FALSE(picture.isNull()) << name.toStdString();
    EXPECT_GT(picture.width(), 100) << name.toStdString();
  }

  item->trigger();  // a second choice brings the same window forward
  EXPECT_EQ(console.guide().window(), window);
}

// The window program is installed in lib/pump-console under the prefix.
TEST(Guide, AGuideInstalledBesideTheProgramIsPreferredAndItsPicturesComeFromItsFolder) {
  QTemporaryDir prefix;
  const QDir root(prefix.path());
  ASSERT_TRUE(root.mkpath("lib/pump-console") && root.mkpath("share/pump-console/guide"));
  QFile guide(root.filePath("share/pump-console/operator-guide.zh.md"));
  ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
  guide.write("# 安装的说明\n\n![一个点](guide/dot.png)\n");
  guide.close();
  QImage dot(3, 2, QImage::Format_RGB32);
  dot.fill(Qt::red);
  ASSERT_TRUE(dot.save(root.filePath("share/pump-console/guide/dot.png")));

  testing::ScriptedDialogs dialogs;
  app::GuideOpener opener(app::GuidePlaces(root.filePath("lib/pump-console")), dialogs);
  opener.open();
  ASSERT_NE(opener.window(), nullptr);
  QTextDocument& document = *opener.window()->browser().document();
  EXPECT_EQ(Headings(document, 1), QStringList{"安装的说明"});
  ASSERT_EQ(PictureNames(document), QStringList{"guide/dot.png"});
  EXPECT_EQ(LoadedPicture(document, "guide/dot.png").size(), QSize(3, 2));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(Guide, NoGuideAnywhereGivesABoxThatNamesEachPlaceLookedAt) {
  testing::ScriptedDialogs dialogs;
  app::GuideOpener opener({"/nowhere/share/pump-console/operator-guide.zh.md",
                           "/nowhere/src/docs/operator-guide.zh.md"},
                          dialogs);
  opener.open();
  EXPECT_EQ(opener.window(), nullptr);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].title, "使用说明");
  EXPECT_EQ(dialogs.messages()[0].prompt,
            "找不到使用说明。已查找：\n/nowhere/share/pump-console/operator-guide.zh.md\n"
            "/nowhere/src/docs/operator-guide.zh.md");
}

}  // namespace
}  // namespace pump
