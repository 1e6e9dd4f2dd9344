// Where run logs go: "pump-logs" in the user's Documents folder.
#pragma once

#include <string>
#include <string_view>

namespace pump::runlog {

// The Documents folder as xdg-user-dir finds it: XDG_DOCUMENTS_DIR from the
// text of user-dirs.dirs (with "$HOME" expanded), else `home` + "/Documents".
std::string DocumentsFolder(std::string_view userDirsText, const std::string& home);

// The user's home: $HOME, or when that is unset or empty the account's home
// in the password database; empty when there is neither.
std::string HomeFolder();

// "pump-logs" under this user's Documents folder, from the home folder and
// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config/user-dirs.dirs); empty
// when there is no home folder to put it in.
std::string DefaultLogFolder();

}  // namespace pump::runlog
