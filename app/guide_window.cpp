#include "app/guide_window.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QTextBrowser>
#include <QUrl>
#include <algorithm>

#include "texts/operator_texts.h"

namespace pump::app {

QStringList GuidePlaces(const QString& programFolder) {
  QStringList places{
      QDir::cleanPath(programFolder + QStringLiteral("/" PUMP_GUIDE_BESIDE_PROGRAM))};
#ifdef PUMP_GUIDE_IN_SOURCE
  places << QStringLiteral(PUMP_GUIDE_IN_SOURCE);
#endif
  return places;
}

GuideWindow::GuideWindow(const QString& guideFile, QWidget* parent)
    : QMainWindow(parent), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("guideWindow"));
  setWindowTitle(QString::fromUtf8(texts::kGuideTitle));
  browser_->setObjectName(QStringLiteral("guideText"));
  browser_->setOpenExternalLinks(true);
  // A manual is read at length: a little larger than the menus, with room at the edges.
  QFont font = browser_->font();
  font.setPointSizeF(font.pointSizeF() * 1.15);
  browser_->setFont(font);
  browser_->document()->setDocumentMargin(14);
  // Pictures and links are found relative to the guide's own file.
  browser_->setSource(QUrl::fromLocalFile(QFileInfo(guideFile).absoluteFilePath()),
                      QTextDocument::MarkdownResource);
  setCentralWidget(browser_);
  resize(900, 760);
}

GuideOpener::GuideOpener(QStringList places, Dialogs& dialogs)
    : places_(std::move(places)), dialogs_(dialogs) {}

GuideOpener::~GuideOpener() = default;

void GuideOpener::open() {
  if (!window_) {
    const auto found = std::find_if(places_.cbegin(), places_.cend(),
                                    [](const QString& place) { return QFileInfo(place).isFile(); });
    if (found == places_.cend()) {
      dialogs_.showMessage(texts::GuideNotFound(places_.join(u'\n').toStdString()),
                           texts::kGuideTitle);
      return;
    }
    window_ = std::make_unique<GuideWindow>(*found);
  }
  window_->show();
  window_->raise();
  window_->activateWindow();
}

}  // namespace pump::app
