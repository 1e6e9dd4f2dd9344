// The window program's heavy parts live in modules of their own, opened on
// the operator's first use rather than linked: Qt Charts (the trend and
// program windows, the run report's chart) and Qt Print Support, which brings
// CUPS, Kerberos and GnuTLS with it. A linked library is loaded at start
// whether it is used or not; a console that never prints or draws a trend
// now never loads them.
#pragma once

#include <string>
#include <vector>

namespace pump::app {

// Where a module may be, in the order looked at: in modules/ beside the
// window program (where the package installs it, and a build tree builds
// it), then the build tree's modules/, for a program such as a test that
// runs elsewhere in the tree where it was built.
std::vector<std::string> ModulePlaces(const std::string& programFolder, const std::string& file);

// The address of `symbol` in the module `file`, which stays open for the
// rest of the program; null if no module could be opened or it lacks the
// symbol, having said why on the standard error.
void* ModuleSymbol(const std::string& file, const char* symbol);

}  // namespace pump::app
