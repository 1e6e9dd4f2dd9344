#include "app/composition.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <QIcon>
#include <QSettings>

#include "app/broker_module.h"
#include "app/console_settings.h"
#include "app/design_to_qt.h"
#include "app/png_picture.h"
#include "app/qt_translations.h"
#include "app/report_after_program.h"
#include "app/run_log_boxes.h"
#include "app/signal_ending.h"
#include "console/window_design.h"
#include "link/stable_port_name.h"
#include "records/record_file.h"
#include "texts/operator_texts.h"

// Resources compiled into a static library must be registered by name, from
// outside any namespace.
static void InitAssetResources() { Q_INIT_RESOURCE(assets); }

namespace pump::app {
namespace {

// The user's configuration: ~/.config/pump-console/pump-console.ini.
const QString kSettingsName = QStringLiteral("pump-console");

}  // namespace

void LoadAssets() { InitAssetResources(); }

void PrepareApplication() {
  QApplication::setStyle(StyleReadingPng());
  LoadAssets();
  InstallFontSubstitutes();
  PreferSimplifiedChinese();
  InstallQtChineseTranslations();
  QApplication::setWindowIcon(Icon(console::design::Window().icon));
}

void InstallFontSubstitutes() {
  const QString simplified = QStringLiteral("Noto Serif CJK SC");
  QFont::insertSubstitution(QStringLiteral("宋体"), simplified);
  QFont::insertSubstitution(QStringLiteral("SimSun"), simplified);
}

// The application's font, which the menus, boxes and the guide use, resolves
// to a face without Chinese; fontconfig's fallback for Chinese then follows
// the locale and, under C.UTF-8, picks Japanese forms. Naming the Simplified
// face as the first fallback keeps the Latin face and draws Chinese in
// Simplified forms. The family is named as resolved: a generic name such as
// "Sans Serif" is no face of its own and would hand everything to the fallback.
void PreferSimplifiedChinese() {
  QFont font = QApplication::font();
  font.setFamilies({QFontInfo(font).family(), QStringLiteral("Noto Sans CJK SC")});
  QApplication::setFont(font);
}

Console::Console(std::string logFolder)
    : view_(std::make_unique<MainWindowView>()),
      lastPort_(kSettingsName, kSettingsName),
      recordPath_(records::DefaultRecordPath()) {
  dialogs_.setParent(view_.get());  // the boxes block the main window
  printer_.setDialogParent(view_.get());
  mainWindowHandle_ = std::make_unique<qt::QtWindowHandle>(*view_);
  window_ = std::make_unique<console::MainWindow>(services());
  // The trend records the session from the start, whether or not it is shown.
  liveTrend_ = std::make_unique<trend::LiveTrend>(session_.events());
  liveTrend_->setProgramSource([this] { return session_.runningProgram(); });
  trendWindow_.setLiveTrend(liveTrend_.get());
  bindWindowToModel();
  view_->holdCaptionsFor(pacedRepaint_);
  remote_ = std::make_unique<remote::qt::RemoteMonitoring>(
      session_, remote::qt::ShowOnStatusLine(*remote::qt::AddRemoteStatusLine(view_->surface())),
      [this](const std::string& text, const std::string& title) {
        dialogs_.showNotice(text, title);
      },
      ConnectThroughModule);
  window_->setRemoteSettingsOpener([this] {
    QSettings store = RemoteSettingsStore();
    remote::qt::OpenRemoteDialog(*remote_, view_.get(), store);
  });
  if (!logFolder.empty()) startRunLog(std::move(logFolder));
  bindGuide();
  bindProgramWindow();
}

RecordViewerView& Console::recordViewer() {
  if (!recordViewer_) {
    recordViewer_ = std::make_unique<RecordViewerView>(files_, viewerDialogs_, recordPath_);
    viewerDialogs_.setParent(recordViewer_.get());
    recordViewer_->setMainWindow(*mainWindowHandle_);
  }
  return *recordViewer_;
}

void Console::bindGuide() {
  guide_ =
      std::make_unique<GuideOpener>(GuidePlaces(QCoreApplication::applicationDirPath()), dialogs_);
  QObject::connect(view_->menuItem("guide"), &QAction::triggered, view_.get(),
                   [this] { guide_->open(); });
}

void Console::bindProgramWindow() {
  QObject::connect(view_->menuItem("program"), &QAction::triggered, view_.get(),
                   [this] { showProgramWindow(); });
}

void Console::showProgramWindow() {
  if (!programWindow_) {
    ChartWindows* charts = LoadChartWindows();
    if (!charts) return;
    programWindow_.reset(charts->newProgramWindow(programControls_));
  }
  programWindow_->show();
  programWindow_->raise();
  programWindow_->activateWindow();
}

// Every event the window publishes becomes a row; 工具 > 日志文件夹 shows the files.
void Console::startRunLog(std::string folder) {
  runLog_ =
      std::make_unique<RunLogWiring>(session_.events(), std::move(folder), TellInBoxes(*view_));
  runLog_->onTrouble([this](const std::string& status, const std::string& event) {
    window_->showLogTrouble(status, event);
  });
  // A program's report goes beside its log, unless the settings say not.
  runLog_->onProgramLogged([this](const std::string& logPath) {
    ReportAfterProgramEnd(RemoteSettingsStore(), logPath, TellInBoxes(*view_),
                          remote_ ? remote_->settings().pumpId : std::string());
  });
  QObject::connect(view_->menuItem("logfolder"), &QAction::triggered, view_.get(),
                   [this] { OpenRunLogFolder(view_.get(), runLog_->folder()); });
}

// The model draws on the view's chart and opens the view's pop-up; the other
// services are the adapters held here.
console::MainWindowServices Console::services() {
  return console::MainWindowServices{
      .session = session_,
      .dialogs = dialogs_,
      .chartCanvas = view_->chartCanvas(),
      .printer = printer_,
      .files = files_,
      .app = application_,
      .popupMenu = view_->popupMenu(),
      .recordViewer = recordViewerOpener_,
      .trendWindow = &trendWindow_,
      .recordPath = recordPath_,
      .portFinder = &portFinder_,
      .lastPort = &lastPort_,
      .waitForStop = [this] { WaitForExitStop(session()); },
  };
}

// Closing the main window ends the program after its close handler has run.
void Console::bindWindowToModel() {
  view_->bind(*window_, [] { QCoreApplication::quit(); });
}

Console::~Console() = default;

void Console::start() {
  window_->load();
  view_->placeAtDesignPosition();
  view_->show();
}

void Console::startRemote(const remote::RemoteSettings& settings) { remote_->apply(settings); }

// The window's close step runs as if the operator had closed it, boxes that
// are open or not.
void Console::endOnSignal() {
  view_->close();
  QCoreApplication::exit(0);  // leaves a box's event loop too
}

// The window's close box has already run the close step.
void Console::finish() {
  WaitForExitStop(session());
  remote_->stop();
}

void Console::tellRunLogOff(const std::string& why) { ShowRunLogBox(view_.get(), why); }

}  // namespace pump::app
