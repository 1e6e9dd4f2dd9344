#include "app/composition.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QIcon>

#include "console/window_design.h"
#include "link/stable_port_name.h"
#include "records/record_file.h"

// Resources compiled into a static library must be registered by name, from
// outside any namespace.
static void InitAssetResources() { Q_INIT_RESOURCE(assets); }

namespace pump::app {

void LoadAssets() { InitAssetResources(); }

void PrepareApplication() {
  LoadAssets();
  InstallFontSubstitutes();
  const auto icon = console::design::Window().icon;
  QApplication::setWindowIcon(
      QIcon(QString::fromUtf8(icon.data(), static_cast<qsizetype>(icon.size()))));
}

void InstallFontSubstitutes() {
  const QString simplified = QStringLiteral("Noto Serif CJK SC");
  QFont::insertSubstitution(QStringLiteral("宋体"), simplified);
  QFont::insertSubstitution(QStringLiteral("SimSun"), simplified);
}

Console::Console()
    : view_(std::make_unique<MainWindowView>()), recordPath_(records::DefaultRecordPath()) {
  dialogs_.setParent(view_.get());  // the boxes block the main window
  printer_.setDialogParent(view_.get());
  recordViewer_ = std::make_unique<RecordViewerView>(files_, dialogs_, recordPath_);
  mainWindowHandle_ = std::make_unique<qt::QtWindowHandle>(*view_);
  recordViewer_->setMainWindow(*mainWindowHandle_);
  window_ = std::make_unique<console::MainWindow>(services());
  bindWindowToModel();
}

// The model draws on the view's chart and opens the view's pop-up; the other
// services are the adapters held here.
console::MainWindowServices Console::services() {
  return console::MainWindowServices{
      .serial = serial_,
      .runClockTimer = runClockTimer_,
      .pollTimer = pollTimer_,
      .linkWatchTimer = linkWatchTimer_,
      .dialogs = dialogs_,
      .chartCanvas = view_->chartCanvas(),
      .printer = printer_,
      .files = files_,
      .app = application_,
      .popupMenu = view_->popupMenu(),
      .recordViewer = *recordViewer_,
      .recordPath = recordPath_,
      .stableName = [](const std::string& device) { return link::StableAdapterName(device); },
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

}  // namespace pump::app
