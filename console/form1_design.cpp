#include "console/form1_design.h"

namespace pump::console::design {
namespace {

constexpr WindowDesign kWindow{
    .title = "LP-200 计量泵控制台",
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

constexpr std::array kLabels{
    LabelDesign{"Label4", 0, "当前压力", {6720, 600, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{"Label4", 1, "设定压力", {6720, 960, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{"Label4", 2, "设定流量", {6720, 1320, 1215, 375}, kTitleSize, kBlack},
    LabelDesign{"LcurrP", kNoIndex, "00.0", {7920, 600, 615, 375}, kValueSize, {}},
    LabelDesign{"LsetP", kNoIndex, "02.0", {7920, 960, 615, 375}, kValueSize, {}},
    LabelDesign{"LsetF", kNoIndex, "000", {7920, 1320, 615, 375}, kValueSize, {}},
    LabelDesign{"Label5", 0, " MPa", {8520, 600, 705, 375}, kValueSize, {}},
    LabelDesign{"Label5", 1, " MPa", {8520, 960, 705, 375}, kValueSize, {}},
    LabelDesign{"Label5", 2, " ml/m", {8520, 1320, 705, 375}, kValueSize, {}},
    LabelDesign{"LSetState", kNoIndex, "", {6720, 1680, 1215, 375}, kValueSize, {}},
    LabelDesign{"Lstate", kNoIndex, "     STOP", {7920, 1680, 1320, 375}, kValueSize, {}},
    LabelDesign{"lhour", kNoIndex, "00", {0, 0, 615, 375}, kClockSize, {}},
    LabelDesign{"Label1", kNoIndex, "时", {600, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"lmin", kNoIndex, "00", {1080, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"Label2", kNoIndex, "分", {1560, 0, 495, 375}, kClockSize, {}},
    LabelDesign{"lsed", kNoIndex, "00", {2040, 0, 615, 375}, kClockSize, {}},
    LabelDesign{"Label3", kNoIndex, "秒", {2640, 0, 495, 375}, kClockSize, {}},
};

constexpr int kKeyWidth = 615;
constexpr int kKeyHeight = 375;
constexpr int kColumn1 = 6720, kColumn2 = 7360, kColumn3 = 8020, kColumn4 = 8680;
constexpr int kRow1 = 2160, kRow2 = 2640, kRow3 = 3120, kRow4 = 3600;

constexpr KeyDesign Key(std::string_view name, int index, std::string_view face,
                        std::string_view picture, int left, int top) {
  return {name, index, face, picture, {left, top, kKeyWidth, kKeyHeight}};
}

// The "0" key and both arrow keys are one control array, so an arrow key does
// exactly what "0" does.
constexpr std::array kKeys{
    Key("Cmd0", 13, "0", ":/assets/key_0.png", kColumn1, kRow1),
    Key("Cmd1", 0, "1", ":/assets/key_1.png", kColumn2, kRow1),
    Key("Cmd2", 1, "2", ":/assets/key_2.png", kColumn3, kRow1),
    Key("Cmd3", 2, "3", ":/assets/key_3.png", kColumn4, kRow1),
    Key("Cmd4", 4, "4", ":/assets/key_4.png", kColumn1, kRow2),
    Key("Cmd5", 5, "5", ":/assets/key_5.png", kColumn2, kRow2),
    Key("Cmd6", 6, "6", ":/assets/key_6.png", kColumn3, kRow2),
    Key("Cmd7", 8, "7", ":/assets/key_7.png", kColumn4, kRow2),
    Key("Cmd8", 9, "8", ":/assets/key_8.png", kColumn1, kRow3),
    Key("Cmd9", 10, "9", ":/assets/key_9.png", kColumn2, kRow3),
    Key("Cmd0", 0, "▲", ":/assets/key_up.png", kColumn3, kRow3),
    Key("Cmd0", 1, "▼", ":/assets/key_down.png", kColumn4, kRow3),
    Key("Cmdl", 3, "L", ":/assets/key_L.png", kColumn1, kRow4),
    Key("Cmdp", 7, "P", ":/assets/key_P.png", kColumn2, kRow4),
    Key("Cmdr", 11, "RUN", ":/assets/key_RUN.png", kColumn3, kRow4),
    Key("Cmds", 15, "STOP", ":/assets/key_STOP.png", kColumn4, kRow4),
};

constexpr ChartDesign kChart{"Picture1", {600, 4680, 9975, 2175}, kWhite};

constexpr std::array kMenus{
    MenuDesign{1, "file", "文件(F)", MenuKind::SubMenu},
    MenuDesign{2, "save", "保存", MenuKind::Item},
    MenuDesign{2, "print", "打印", MenuKind::Item},
    MenuDesign{2, "viewrecord", "查看记录", MenuKind::Item},
    MenuDesign{2, "end", "退出", MenuKind::Item},
    MenuDesign{1, "settime", "定时(T)", MenuKind::SubMenu},
    MenuDesign{2, "stset", "设定", MenuKind::Item},
    MenuDesign{2, "operation", "操作", MenuKind::SubMenu},
    MenuDesign{3, "ststart", "开始", MenuKind::Item},
    MenuDesign{3, "stzanting", "暂停", MenuKind::Item},
    MenuDesign{3, "stcontiune", "继续", MenuKind::Item},
    MenuDesign{3, "stend", "结束", MenuKind::Item},
    MenuDesign{1, "Pump", "泵(O)", MenuKind::SubMenu},
    MenuDesign{2, "run", "运行", MenuKind::Item},
    MenuDesign{2, "stop", "停止", MenuKind::Item},
    MenuDesign{1, "seting", "设定(S)", MenuKind::SubMenu},
    MenuDesign{2, "liquid", "流量", MenuKind::Item},
    MenuDesign{2, "pressure", "压力", MenuKind::Item},
    MenuDesign{2, "Pump_NO", "泵编号", MenuKind::Item},
    MenuDesign{1, "Communication", "通信", MenuKind::BarCommand},
    MenuDesign{1, "rightkey", "右键", MenuKind::PopupOnly},
    MenuDesign{2, "rrun", "运行", MenuKind::Item},
    MenuDesign{2, "rstop", "停止", MenuKind::Item},
    MenuDesign{1, "help", "帮助(H)", MenuKind::BarCommand},
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
