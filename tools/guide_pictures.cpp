// Takes the operator's guide's pictures from the real console: the built-in
// simulated pump driven through the port box, keypad, menus and dialogs, then
// a pseudo-terminal nobody answers for the line's fault states. Run it under a
// display with the folder to write to:
//   xvfb-run -a build/tools/guide_pictures docs/guide
// It keeps its settings and run log in a scratch folder and prints the run
// log's path, so a real excerpt can be quoted.
#include <pty.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
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
using pump::tools::WithTitle;

QString outFolder;

void Save(const QImage& picture, const char* name) {
  pump::tools::SavePicture(picture, outFolder, name);
}

void Save(QWidget& window, const char* name) { pump::tools::SaveWindow(window, outFolder, name); }

// Runs `act` on the next modal box once it is up, then presses `button`
// (Ok or Cancel) unless `act` closed it.
void WhenBoxShown(std::function<void(QDialog&)> act,
                  QDialogButtonBox::StandardButton button = QDialogButtonBox::Ok) {
  QTimer::singleShot(400, [act = std::move(act), button] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    act(*box);
    if (!box->isVisible()) return;
    for (auto* buttons : box->findChildren<QDialogButtonBox*>()) {
      if (QPushButton* pressed = buttons->button(button)) return pressed->click();
    }
    box->reject();
  });
}

// Types `answer` into the box's edit field and keeps its picture.
std::function<void(QDialog&)> Answer(const QString& answer, const char* picture) {
  return [answer, picture](QDialog& box) {
    if (auto* edit = box.findChild<QLineEdit*>()) edit->setText(answer);
    Wait(100);
    if (picture) Save(box, picture);
  };
}

void Choose(Console& console, const char* item) {
  console.mainWindowView().menuItem(item)->trigger();
}

const std::string& StatusLine(Console& console) {
  return console.window().display.linkStatus.caption();
}

bool StatusStartsWith(Console& console, const std::string& text) {
  return StatusLine(console).rfind(text, 0) == 0;
}

// The left part of the status line, where the line's state is told.
void SaveStatusLine(Console& console, const char* name) {
  Wait(100);
  auto* status = console.mainWindowView().findChild<QLabel*>("linkStatus");
  Save(status->grab(QRect(0, 0, 360, status->height())).toImage(), name);
}

void PressKeys(Console& console, const std::string& keys) {
  for (const char key : keys) {
    if (key == 'L') {
      console.window().pressFlowKey();
    } else if (key == 'P') {
      console.window().pressPressureKey();
    } else {
      console.window().pressDigit(key);
    }
  }
}

// The window with its Tools menu dropped down over it.
void SaveToolsMenu(Console& console) {
  auto& view = console.mainWindowView();
  auto* tools = view.findChild<QMenu*>("tools");
  view.menuBar()->setActiveAction(tools->menuAction());
  Wait(400);
  QImage picture = view.grab().toImage();
  QPainter painter(&picture);
  painter.drawPixmap(tools->mapToGlobal(QPoint(0, 0)) - view.mapToGlobal(QPoint(0, 0)),
                     tools->grab());
  painter.end();
  Save(WithTitle(picture, view.windowTitle()), "tools-menu.png");
  tools->hide();
}

void OpenSimulatedPump(Console& console) {
  SaveStatusLine(console, "status-not-connected.png");
  WhenBoxShown(Answer("sim", "port-box.png"));
  Choose(console, "Communication");
  WaitUntil([&] { return StatusStartsWith(console, "● 通信正常"); }, 5000);
  Wait(3500);  // a few readings
  SaveStatusLine(console, "status-answering.png");
}

void SetFlowOnKeypad(Console& console) {
  PressKeys(console, "L15");
  Wait(200);
  Save(console.mainWindowView().surface().grab(QRect(432, 28, 200, 250)).toImage(),
       "keypad-entry.png");
  PressKeys(console, "0");
  WaitUntil([&] { return console.window().display.flowSetpoint.caption() == "0150"; }, 5000);
}

// After the trend's picture, which would show the refused value as typed.
void RefuseOnKeypad(Console& console) {
  WhenBoxShown([](QDialog& box) { Save(box, "keypad-refused.png"); });
  PressKeys(console, "L250");
}

void UseTheDialogs(Console& console) {
  WhenBoxShown(Answer("150", "flow-dialog.png"));
  Choose(console, "liquid");
  WhenBoxShown(Answer("3.0", "pressure-dialog.png"));
  Choose(console, "pressure");
  WhenBoxShown(Answer("0", "pump-number-dialog.png"), QDialogButtonBox::Cancel);
  Choose(console, "Pump_NO");
  WaitUntil([&] { return console.window().display.pressureLimit.caption() == "03.0"; }, 5000);
  Wait(2000);
  Save(console.mainWindowView(), "main-window.png");
}

// Ten minutes set, run, paused, continued, the flow lowered, then ended: the
// trend shows each step.
void TimedRun(Console& console) {
  WhenBoxShown(Answer("10", "run-length-dialog.png"));
  Choose(console, "stset");
  Choose(console, "ststart");
  WaitUntil([&] { return StatusStartsWith(console, "● 压力超限"); }, 30000);
  SaveStatusLine(console, "status-over-limit.png");
  Save(console.mainWindowView(), "timed-run.png");
  Choose(console, "stzanting");
  Wait(6000);
  Choose(console, "stcontiune");
  Wait(6000);
  WhenBoxShown(Answer("100", nullptr));
  Choose(console, "liquid");
  Wait(9000);
  Choose(console, "stend");
  Wait(4000);
}

void ShowTrend(Console& console) {
  Choose(console, "trend");
  pump::trend::qt::TrendWindow* window = console.trendWindow()->window();
  window->resize(860, 460);
  Wait(1500);
  Save(*window, "trend-window.png");
}

void ShowGuide(Console& console) {
  Choose(console, "guide");
  if (pump::app::GuideWindow* window = console.guide().window()) {
    window->resize(860, 640);
    Wait(800);
    Save(*window, "guide-window.png");
  }
}

// A line whose far end never answers, then hangs up: the status line's fault
// states and the box that tells of the loss.
void LineFaults(Console& console) {
  int master = -1, slave = -1;
  char name[128] = {};
  if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
  ::close(slave);
  WhenBoxShown(Answer(name, nullptr));
  Choose(console, "Communication");
  WaitUntil([&] { return StatusLine(console) == "● 无应答 6 秒"; }, 15000);
  SaveStatusLine(console, "status-no-answer.png");
  RefuseOnKeypad(console);
  QTimer lostBox;
  QObject::connect(&lostBox, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    Save(*box, "line-lost-box.png");
    box->accept();
  });
  lostBox.start(400);
  ::close(master);
  WaitUntil([&] { return StatusStartsWith(console, "● 通信中断"); }, 10000);
  lostBox.stop();
  SaveStatusLine(console, "status-reconnecting.png");
  console.window().pressStopKey();
  SaveStatusLine(console, "status-stop-waiting.png");
}

// The session's run log, to quote.
void PrintRunLog(const QString& folder) {
  for (const QFileInfo& log : QDir(folder).entryInfoList({"*.csv"}, QDir::Files)) {
    QFile file(log.filePath());
    if (!file.open(QIODevice::ReadOnly)) continue;
    std::printf("%s:\n", qPrintable(log.filePath()));
    std::printf("%s", file.readAll().constData());
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Times in the run log and the trend as in a lab in China.
  qputenv("TZ", "Asia/Shanghai");
  ::tzset();
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: guide_pictures FOLDER\n");
    return 2;
  }
  outFolder = QString::fromLocal8Bit(argv[1]);
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir scratch;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
  pump::app::PrepareApplication();

  Console console(scratch.filePath("pump-logs").toStdString());
  console.start();
  Wait(800);
  OpenSimulatedPump(console);
  SaveToolsMenu(console);
  SetFlowOnKeypad(console);
  UseTheDialogs(console);
  TimedRun(console);
  ShowTrend(console);
  ShowGuide(console);
  PrintRunLog(scratch.filePath("pump-logs"));
  LineFaults(console);
  console.mainWindowView().close();
  return 0;
}
