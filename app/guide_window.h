// The operator's guide: a Markdown file shown in a window of its own, its
// pictures loaded from the guide's folder. The console looks for it where the
// package installs it, relative to the program, then in the source tree the
// program was built from.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "platform/ui.h"

class QTextBrowser;

namespace pump::app {

// Where the guide may be, in the order looked at: installed relative to the
// program in `programFolder`, then in the source tree of this build (not for
// a package).
QStringList GuidePlaces(const QString& programFolder);

class GuideWindow : public QMainWindow {
 public:
  explicit GuideWindow(const QString& guideFile, QWidget* parent = nullptr);
  QTextBrowser& browser() { return *browser_; }

 private:
  QTextBrowser* browser_;
};

// Opens the guide from the first place that holds it and brings an open one
// forward; with none, a box says where it looked.
class GuideOpener {
 public:
  GuideOpener(QStringList places, Dialogs& dialogs);
  ~GuideOpener();
  void open();
  // The window, once it has been shown.
  GuideWindow* window() const { return window_.get(); }

 private:
  QStringList places_;
  Dialogs& dialogs_;
  std::unique_ptr<GuideWindow> window_;
};

}  // namespace pump::app
