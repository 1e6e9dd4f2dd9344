// Takes the pictures of a program running on the built-in simulated pump: the
// window 运行程序 with a five-step program, the main window and the trend
// with the planned flow. Run it under a display with the folder to write to:
//   xvfb-run -a build/tools/program_pictures docs/screenshots
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <functional>

#include "app/composition.h"
#include "tools/picture_taking.h"
#include "trend/qt/trend_window.h"

namespace {

using pump::app::Console;
using pump::tools::Wait;
using pump::tools::WaitUntil;

QString outFolder;

void Save(QWidget& window, const char* name) { pump::tools::SaveWindow(window, outFolder, name); }

void OpenSimulatedPump(Console& console) {
  QTimer::singleShot(400, [] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    if (auto* edit = box->findChild<QLineEdit*>()) edit->setText("sim");
    box->accept();
  });
  console.mainWindowView().menuItem("Communication")->trigger();
  WaitUntil(
      [&] { return console.window().display.linkStatus.caption().rfind("● 通信正常", 0) == 0; },
      5000);
}

// Five steps: a ramp up, a hold, a ramp under a higher limit, a hold, a ramp down.
constexpr char kFiveSteps[] =
    "步骤\t时长\t起始流量\t结束流量\t压力上限\n"
    "1\t15\t0\t40\t2.0\n"
    "2\t20\t40\t40\t2.0\n"
    "3\t15\t40\t90\t3.5\n"
    "4\t25\t90\t90\t3.5\n"
    "5\t15\t90\t0\t1.0\n";

pump::app::ProgramWindow& WriteProgram(Console& console) {
  console.mainWindowView().menuItem("program")->trigger();
  pump::app::ProgramWindow& window = *console.programWindow();
  auto* name = window.findChild<QLineEdit*>("name");
  name->setText("调理流程");
  emit name->textEdited(name->text());
  window.steps().setCurrentCell(0, 1);
  window.pasteRows(QString::fromUtf8(kFiveSteps));
  window.resize(680, 760);
  window.move(40, 40);
  return window;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("TZ", "Asia/Shanghai");
  ::tzset();
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: program_pictures FOLDER\n");
    return 2;
  }
  outFolder = QString::fromLocal8Bit(argv[1]);
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir scratch;
  qputenv("HOME", scratch.path().toLocal8Bit());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
  pump::app::PrepareApplication();

  Console console(scratch.filePath("pump-logs").toStdString());
  console.start();
  Wait(800);
  OpenSimulatedPump(console);
  console.mainWindowView().menuItem("trend")->trigger();
  pump::app::ProgramWindow& window = WriteProgram(console);
  Wait(500);
  window.button("start").click();
  // Into the third step, its ramp under way.
  Wait(44000);
  Save(window, "program-window.png");
  Save(console.mainWindowView(), "program-main-window.png");
  pump::trend::qt::TrendWindow* trend = console.trendWindow()->window();
  trend->resize(900, 480);
  Wait(1500);
  Save(*trend, "program-trend.png");
  window.button("abort").click();
  Wait(500);
  console.mainWindowView().close();
  return 0;
}
