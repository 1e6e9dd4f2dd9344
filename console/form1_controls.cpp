#include "console/form1_controls.h"

#include <array>
#include <utility>

#include "console/form1_design.h"

namespace pump::console {
namespace {

template <typename Member, std::size_t N>
Member Lookup(const std::array<std::pair<std::string_view, Member>, N>& table,
              std::string_view name) {
  for (const auto& [entryName, member] : table) {
    if (entryName == name) return member;
  }
  return nullptr;
}

}  // namespace

Label* FindLabel(Form1& form, std::string_view name, int index) {
  if (name == "Label4" || name == "Label5") {
    if (index < 0 || index > 2) return nullptr;
    auto& array = name == "Label4" ? form.Label4 : form.Label5;
    return &array[static_cast<std::size_t>(index)];
  }
  if (index != design::kNoIndex) return nullptr;
  const std::array<std::pair<std::string_view, Label*>, 11> single{{
      {"LcurrP", &form.LcurrP},
      {"LsetP", &form.LsetP},
      {"LsetF", &form.LsetF},
      {"LSetState", &form.LSetState},
      {"Lstate", &form.Lstate},
      {"lhour", &form.lhour},
      {"Label1", &form.Label1},
      {"lmin", &form.lmin},
      {"Label2", &form.Label2},
      {"lsed", &form.lsed},
      {"Label3", &form.Label3},
  }};
  return Lookup(single, name);
}

MenuEntry* FindMenuEntry(Form1& form, std::string_view name) {
  const std::array<std::pair<std::string_view, MenuEntry*>, 7> entries{{
      {"file", &form.file},
      {"settime", &form.settime},
      {"Pump", &form.Pump},
      {"seting", &form.seting},
      {"Communication", &form.Communication},
      {"rightkey", &form.rightkey},
      {"help", &form.help},
  }};
  return Lookup(entries, name);
}

KeyHandler FindKeyHandler(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, KeyHandler>, 14> handlers{{
      {"Cmd0", &Form1::Cmd0_Click},
      {"Cmd1", &Form1::Cmd1_Click},
      {"Cmd2", &Form1::Cmd2_Click},
      {"Cmd3", &Form1::Cmd3_Click},
      {"Cmd4", &Form1::Cmd4_Click},
      {"Cmd5", &Form1::Cmd5_Click},
      {"Cmd6", &Form1::Cmd6_Click},
      {"Cmd7", &Form1::Cmd7_Click},
      {"Cmd8", &Form1::Cmd8_Click},
      {"Cmd9", &Form1::Cmd9_Click},
      {"Cmdl", &Form1::Cmdl_Click},
      {"Cmdp", &Form1::Cmdp_Click},
      {"Cmdr", &Form1::Cmdr_Click},
      {"Cmds", &Form1::Cmds_Click},
  }};
  return Lookup(handlers, name);
}

MenuHandler FindMenuHandler(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, MenuHandler>, 18> handlers{{
      {"save", &Form1::save_Click},
      {"print", &Form1::print_Click},
      {"viewrecord", &Form1::viewrecord_Click},
      {"end", &Form1::end_Click},
      {"stset", &Form1::stset_Click},
      {"ststart", &Form1::ststart_Click},
      {"stzanting", &Form1::stzanting_Click},
      {"stcontiune", &Form1::stcontiune_Click},
      {"stend", &Form1::stend_Click},
      {"run", &Form1::run_Click},
      {"stop", &Form1::stop_Click},
      {"liquid", &Form1::liquid_Click},
      {"pressure", &Form1::pressure_Click},
      {"Pump_NO", &Form1::Pump_NO_Click},
      {"Communication", &Form1::Communication_Click},
      {"rrun", &Form1::rrun_Click},
      {"rstop", &Form1::rstop_Click},
      {"help", &Form1::help_Click},
  }};
  return Lookup(handlers, name);
}

}  // namespace pump::console
