// Where the console keeps its settings, and the remote settings in force at
// start: the stored ones with the command line's on top. Qt's core only.
#pragma once

#include <QSettings>

#include "remote/command_line.h"

namespace pump::app {

// The user's configuration file: ~/.config/pump-console/pump-console.ini.
QSettings RemoteSettingsStore();

// The stored remote settings with the command line's overrides applied, or
// why they cannot be used.
remote::AppliedSettings RemoteSettingsInForce(const remote::CommandLine& line);

}  // namespace pump::app
