#include "app/composition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>

// Resources compiled into a static library must be registered by name, from
// outside any namespace.
static void InitAssetResources() { Q_INIT_RESOURCE(assets); }

namespace pump::app {

void LoadAssets() { InitAssetResources(); }

void InstallFontSubstitutes() {
  const QString simplified = QStringLiteral("Noto Serif CJK SC");
  QFont::insertSubstitution(QStringLiteral("宋体"), simplified);
  QFont::insertSubstitution(QStringLiteral("SimSun"), simplified);
}

std::string RecordPath() {
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) documents = QDir::homePath() + QStringLiteral("/Documents");
  return QDir(documents).filePath(QStringLiteral("mytext.txt")).toStdString();
}

namespace {

console::Form1Services Services(Timer& timer1, Timer& timer2, Dialogs& dialogs, Form1View& view,
                                Application& application, SerialPort& serial,
                                Printer& printer, Files& files, WindowHandle& recordViewer) {
  return console::Form1Services{serial,    timer1,      timer2,      dialogs,
                                view.picture1(), printer, files, application,
                                view.rightkeyPopup(), recordViewer, RecordPath()};
}

}  // namespace

Console::Console() : view_(std::make_unique<Form1View>()) {
  dialogs_.setParent(view_.get());
  form1_ = std::make_unique<console::Form1>(Services(timer1_, timer2_, dialogs_, *view_,
                                                     application_, serial_, printer_, files_,
                                                     recordViewer_));
  view_->bind(*form1_, [] { QCoreApplication::quit(); });
}

Console::~Console() = default;

void Console::start() {
  form1_->Form_Load();
  view_->placeAtDesignPosition();
  view_->show();
}

}  // namespace pump::app
