#include "console/window_design.h"

#include "texts/operator_texts.h"

namespace pump::console::design {
namespace {

constexpr WindowDesign kWindow{
    .title = texts::kMainWindowTitle,
    .clientWidth = 10905,
    .clientHeight = 7530,
    .left = 2025,
    .top = 2115,
    .backColour = kBlue,
    .backgroundPicture = ":/assets/background.png",
    .icon = ":/assets/icon.png",
};

constexpr double kTitleSize = 14.25;
constexpr double kValueSize = 12;
constexpr double kClockSize = 15.75;
constexpr double kStatusSize = 10.5;
constexpr Rgb kStatusPanel{0xf4, 0xf6, 0xfb};

constexpr std::array kLabels{
    LabelDesign{
        "Label4", 0, &Display::currentPressureTitle, {6720, 600, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{
        "Label4", 1, &Display::pressureLimitTitle, {6720, 960, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{
        "Label4", 2, &Display::flowSetpointTitle, {6720, 1320, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{
        "LcurrP", kNoIndex, &Display::currentPressure, {7920, 600, 615, 375}, kValueSize, {}},
    LabelDesign{"LsetP", kNoIndex, &Display::pressureLimit, {7920, 960, 615, 375}, kValueSize, {}},
    LabelDesign{"LsetF", kNoIndex, &Display::flowSetpoint, {7920, 1320, 615, 375}, kValueSize, {}},
    LabelDesign{"Label5", 0, &Display::currentPressureUnit, {8520, 600, 705, 375}, kValueSize, {}},
    LabelDesign{"Label5", 1, &Display::pressureLimitUnit, {8520, 960, 705, 375}, kValueSize, {}},
    LabelDesign{"Label5", 2, &Display::flowSetpointUnit, {8520, 1320, 705, 375}, kValueSize, {}},
    LabelDesign{
        "LSetState", kNoIndex, &Display::entryMode, {6720, 1680, 1215, 375}, kValueSize, {}},
    LabelDesign{"Lstate", kNoIndex, &Display::pumpState, {7920, 1680, 1320, 375}, kValueSize, {}},
    LabelDesign{"lhour", kNoIndex, &Display::hours, {0, 0, 615, 375}, kClockSize, {}},
    LabelDesign{"Label1", kNoIndex, &Display::hourUnit, {600, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"lmin", kNoIndex, &Display::minutes, {1080, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"Label2", kNoIndex, &Display::minuteUnit, {1560, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"lsed", kNoIndex, &Display::seconds, {2040, 0, 615, 375}, kClockSize, {}},
    LabelDesign{"Label3", kNoIndex, &Display::secondUnit, {2640, 0, 495, 375}, kClockSize, {}},
    // The line's state, in the free band below the chart box, on a pale panel
    // so that its colours read clearly on the mid-blue picture there.
    LabelDesign{"linkStatus",
                kNoIndex,
                &Display::linkStatus,
                {600, 6900, 9975, 345},
                kStatusSize,
                {},
                kStatusPanel,
                "linkStatus"},
};

constexpr int kKeyWidth = 615;
constexpr int kKeyHeight = 375;
constexpr int kColumn1 = 6720, kColumn2 = 7360, kColumn3 = 8020, kColumn4 = 8680;
constexpr int kRow1 = 2160, kRow2 = 2640, kRow3 = 3120, kRow4 = 3600;

constexpr KeyDesign Digit(std::string_view name, int index, std::string_view face,
                          std::string_view picture, int left, int top, char digit) {
  return {name, index, face, picture, {left, top, kKeyWidth, kKeyHeight}, nullptr, digit};
}

constexpr KeyDesign Key(std::string_view name, int index, std::string_view face,
                        std::string_view picture, int left, int top, KeyAction press) {
  return {name, index, face, picture, {left, top, kKeyWidth, kKeyHeight}, press, 0};
}

// The "0" key and both arrow keys are one control array, so an arrow key does
// exactly what "0" does.
constexpr std::array kKeys{
    Digit("Cmd0", 13, "0", ":/assets/key_0.png", kColumn1, kRow1, '0'),
    Digit("Cmd1", 0, "1", ":/assets/key_1.png", kColumn2, kRow1, '1'),
    Digit("Cmd2", 1, "2", ":/assets/key_2.png", kColumn3, kRow1, '2'),
    Digit("Cmd3", 2, "3", ":/assets/key_3.png", kColumn4, kRow1, '3'),
    Digit("Cmd4", 4, "4", ":/assets/key_4.png", kColumn1, kRow2, '4'),
    Digit("Cmd5", 5, "5", ":/assets/key_5.png", kColumn2, kRow2, '5'),
    Digit("Cmd6", 6, "6", ":/assets/key_6.png", kColumn3, kRow2, '6'),
    Digit("Cmd7", 8, "7", ":/assets/key_7.png", kColumn4, kRow2, '7'),
    Digit("Cmd8", 9, "8", ":/assets/key_8.png", kColumn1, kRow3, '8'),
    Digit("Cmd9", 10, "9", ":/assets/key_9.png", kColumn2, kRow3, '9'),
    Digit("Cmd0", 0, "▲", ":/assets/key_up.png", kColumn3, kRow3, '0'),
    Digit("Cmd0", 1, "▼", ":/assets/key_down.png", kColumn4, kRow3, '0'),
    Key("Cmdl", 3, "L", ":/assets/key_L.png", kColumn1, kRow4, &MainWindow::pressFlowKey),
    Key("Cmdp", 7, "P", ":/assets/key_P.png", kColumn2, kRow4, &MainWindow::pressPressureKey),
    Key("Cmdr", 11, "RUN", ":/assets/key_RUN.png", kColumn3, kRow4, &MainWindow::pressRunKey),
    Key("Cmds", 15, "STOP", ":/assets/key_STOP.png", kColumn4, kRow4, &MainWindow::pressStopKey),
};

constexpr ChartDesign kChart{"Picture1", {600, 4680, 9975, 2175}, kWhite};

constexpr std::array kMenus{
    MenuDesign{1, "file", texts::kFileMenu, MenuKind::SubMenu, &Menus::file, nullptr},
    MenuDesign{2, "save", texts::kSaveItem, MenuKind::Item, nullptr, &MainWindow::saveRecord},
    MenuDesign{2, "print", texts::kPrintItem, MenuKind::Item, nullptr, &MainWindow::printTestPage},
    MenuDesign{2, "viewrecord", texts::kViewRecordItem, MenuKind::Item, nullptr,
               &MainWindow::viewRecord},
    MenuDesign{2, "end", texts::kExitItem, MenuKind::Item, nullptr, &MainWindow::exitProgram},
    MenuDesign{1, "settime", texts::kTimedRunMenu, MenuKind::SubMenu, &Menus::timedRun, nullptr},
    MenuDesign{2, "stset", texts::kRunLengthItem, MenuKind::Item, nullptr,
               &MainWindow::askRunLength},
    MenuDesign{2, "operation", texts::kTimedRunOperationMenu, MenuKind::SubMenu, nullptr, nullptr},
    MenuDesign{3, "ststart", texts::kStartItem, MenuKind::Item, nullptr,
               &MainWindow::startTimedRun},
    MenuDesign{3, "stzanting", texts::kPauseItem, MenuKind::Item, nullptr,
               &MainWindow::pauseTimedRun},
    MenuDesign{3, "stcontiune", texts::kContinueItem, MenuKind::Item, nullptr,
               &MainWindow::continueTimedRun},
    MenuDesign{3, "stend", texts::kEndItem, MenuKind::Item, nullptr, &MainWindow::endTimedRun},
    MenuDesign{1, "Pump", texts::kPumpMenu, MenuKind::SubMenu, &Menus::pump, nullptr},
    MenuDesign{2, "run", texts::kRunItem, MenuKind::Item, nullptr, &MainWindow::runPump},
    MenuDesign{2, "stop", texts::kStopItem, MenuKind::Item, nullptr, &MainWindow::stopPump},
    MenuDesign{1, "seting", texts::kSetpointMenu, MenuKind::SubMenu, &Menus::setpoints, nullptr},
    MenuDesign{2, "liquid", texts::kFlowItem, MenuKind::Item, nullptr, &MainWindow::askFlow},
    MenuDesign{2, "pressure", texts::kPressureItem, MenuKind::Item, nullptr,
               &MainWindow::askPressureLimit},
    MenuDesign{2, "Pump_NO", texts::kPumpNumberItem, MenuKind::Item, nullptr,
               &MainWindow::askPumpNumber},
    MenuDesign{1, "Communication", texts::kCommunicationCommand, MenuKind::BarCommand,
               &Menus::communication, &MainWindow::choosePort},
    // Always enabled: nothing here needs a line.
    MenuDesign{1, "tools", texts::kToolsMenu, MenuKind::SubMenu, &Menus::tools, nullptr},
    // The composition root binds the log folder item: it opens a desktop folder.
    MenuDesign{2, "logfolder", texts::kLogFolderItem, MenuKind::Item, nullptr, nullptr},
    MenuDesign{2, "trend", texts::kTrendItem, MenuKind::Item, nullptr, &MainWindow::showTrend},
    // The composition root binds the program window: it drives the session itself.
    MenuDesign{2, "program", texts::kProgramItem, MenuKind::Item, nullptr, nullptr},
    MenuDesign{2, "remoteMonitor", texts::kRemoteMonitorItem, MenuKind::Item, nullptr,
               &MainWindow::openRemoteSettings},
    // The composition root binds the guide: a window of its own, outside the model.
    MenuDesign{2, "guide", texts::kGuideItem, MenuKind::Item, nullptr, nullptr},
    MenuDesign{1, "rightkey", texts::kPopupMenu, MenuKind::PopupOnly, &Menus::popup, nullptr},
    MenuDesign{2, "rrun", texts::kRunItem, MenuKind::Item, nullptr, &MainWindow::runPump},
    MenuDesign{2, "rstop", texts::kStopItem, MenuKind::Item, nullptr, &MainWindow::stopPump},
    MenuDesign{1, "help", texts::kHelpCommand, MenuKind::BarCommand, &Menus::help,
               &MainWindow::showHelp},
};

constexpr std::array kFocusOrder{
    ControlId{"Cmd1", 0},
    ControlId{"Cmd2", 1},
    ControlId{"Cmd3", 2},
    ControlId{"Cmdl", 3},
    ControlId{"Cmd4", 4},
    ControlId{"Cmd5", 5},
    ControlId{"Cmd6", 6},
    ControlId{"Cmdp", 7},
    ControlId{"Cmd7", 8},
    ControlId{"Cmd8", 9},
    ControlId{"Cmd9", 10},
    ControlId{"Cmdr", 11},
    ControlId{"Cmd0", 13},
    ControlId{"Cmds", 15},
    ControlId{"Cmd0", 0},
    ControlId{"Cmd0", 1},
    ControlId{"Picture1", kNoIndex},
};

}  // namespace

const WindowDesign& Window() { return kWindow; }

FontDesign LabelFont(double pointSize) {
  constexpr int kGb2312Charset = 134;
  return {"宋体", pointSize, true, kGb2312Charset};
}

std::span<const LabelDesign> Labels() { return kLabels; }
std::span<const KeyDesign> Keys() { return kKeys; }
const ChartDesign& Chart() { return kChart; }
std::span<const MenuDesign> Menus() { return kMenus; }
std::span<const ControlId> FocusOrder() { return kFocusOrder; }

}  // namespace pump::console::design
