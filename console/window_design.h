// The main window's design table: every visible control with its design name,
// control-array index, position and size in twips, font and colours, and the
// member of the window it is bound to; plus the menu tree and the keyboard
// focus order. The Qt view builds the window from these tables; nothing here
// depends on a toolkit. A binding to a member that does not exist fails to
// compile.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "console/main_window.h"
#include "platform/twips.h"
#include "platform/ui.h"

namespace pump::console::design {

inline constexpr int kNoIndex = -1;  // a control that is not a control-array member

inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

struct WindowDesign {
  std::string_view title;
  int clientWidth, clientHeight;  // twips
  int left, top;                  // client area's corner on the screen, twips
  Rgb backColour;
  std::string_view backgroundPicture;  // resource path, drawn unscaled from the corner
  std::string_view icon;
};

struct FontDesign {
  std::string_view face;
  double pointSize;
  bool bold;
  int charset;  // 134 = GB2312
};

struct LabelDesign {
  std::string_view name;
  int index;  // kNoIndex unless a control-array member
  Label Display::*label;
  TwipsRect rect;
  double fontSize;
  std::optional<Rgb> textColour;                 // nothing: the system's default text colour
  std::optional<Rgb> backColour = std::nullopt;  // nothing: the window's blue
  std::string_view accessibleDescription = {};   // for the labels that have one
};

using KeyAction = void (MainWindow::*)();

struct KeyDesign {
  std::string_view name;
  int index;
  std::string_view face;     // what the key shows; also its accessible name
  std::string_view picture;  // resource path of the 39 x 21 face picture
  TwipsRect rect;
  KeyAction press;  // nothing for a digit key
  char digit;       // the digit it types, for a digit key
};

struct ChartDesign {
  std::string_view name;
  TwipsRect rect;
  Rgb backColour;
};

enum class MenuKind {
  SubMenu,     // opens a menu
  Item,        // runs its click handler
  BarCommand,  // a command on the bar itself, no sub-menu
  PopupOnly,   // a top-level menu that is not in the bar: the right-button pop-up
};

using MenuAction = void (MainWindow::*)();

struct MenuDesign {
  int level;  // 1 = top level, 2 and 3 nested under the nearest row above with a lower level
  std::string_view name;
  std::string_view caption;
  MenuKind kind;
  MenuEntry Menus::*entry;  // top level only: the entry that locks and releases it
  MenuAction action;        // items and bar commands: what choosing it does
};

// A control in the focus order: its name and index.
struct ControlId {
  std::string_view name;
  int index;
  friend bool operator==(const ControlId&, const ControlId&) = default;
};

const WindowDesign& Window();
// Every label shares this face, weight and character set; the size is per label.
FontDesign LabelFont(double pointSize);
std::span<const LabelDesign> Labels();
std::span<const KeyDesign> Keys();
const ChartDesign& Chart();
std::span<const MenuDesign> Menus();
std::span<const ControlId> FocusOrder();

}  // namespace pump::console::design
