#include "app/composition.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QIcon>

#include "app/qt_translations.h"
#include "console/form1_design.h"
#include "records/record_file.h"

// Resources compiled into a static library must be registered by name, from
// outside any namespace.
static void InitAssetResources() { Q_INIT_RESOURCE(assets); }

namespace pump::app {

void LoadAssets() { InitAssetResources(); }

void PrepareApplication() {
  LoadAssets();
  InstallFontSubstitutes();
  InstallQtChineseTranslations();
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
    : view_(std::make_unique<Form1View>()), recordPath_(records::DefaultRecordPath()) {
  dialogs_.setParent(view_.get());  // the boxes block the main window
  printer_.setDialogParent(view_.get());
  recordViewer_ = std::make_unique<Form2View>(files_, viewerDialogs_, recordPath_);
  viewerDialogs_.setParent(recordViewer_.get());
  mainWindowHandle_ = std::make_unique<qt::QtWindowHandle>(*view_);
  recordViewer_->setMainWindow(*mainWindowHandle_);
  form1_ = std::make_unique<console::Form1>(services());
  bindWindowToModel();
}

// The model draws on the view's chart and opens the view's pop-up; the other
// services are the adapters held here.
console::Form1Services Console::services() {
  return console::Form1Services{
      .serial = serial_,
      .timer1 = timer1_,
      .timer2 = timer2_,
      .dialogs = dialogs_,
      .picture1 = view_->picture1(),
      .printer = printer_,
      .files = files_,
      .app = application_,
      .rightkeyPopup = view_->rightkeyPopup(),
      .recordViewer = *recordViewer_,
      .recordPath = recordPath_,
  };
}

// Closing the main window ends the program after its close handler has run.
void Console::bindWindowToModel() {
  view_->bind(*form1_, [] { QCoreApplication::quit(); });
}

Console::~Console() = default;

void Console::start() {
  form1_->Form_Load();
  view_->placeAtDesignPosition();
  view_->show();
}

}  // namespace pump::app
