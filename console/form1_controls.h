// Finds the window model's controls and handlers by their design names, so a
// view built from the design tables can bind each widget to its model object.
#pragma once

#include <string_view>

#include "console/main_window.h"

namespace pump::console {

using KeyHandler = void (Form1::*)(int index);
using MenuHandler = void (Form1::*)();

// The label with this name and control-array index, or nullptr.
Label* FindLabel(Form1& form, std::string_view name, int index);
// A top-level menu entry that can be enabled and disabled, or nullptr.
MenuEntry* FindMenuEntry(Form1& form, std::string_view name);
// The click handler of a keypad control array, or nullptr.
KeyHandler FindKeyHandler(std::string_view name);
// The click handler of a menu item or bar command, or nullptr.
MenuHandler FindMenuHandler(std::string_view name);

}  // namespace pump::console
