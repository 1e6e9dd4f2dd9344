#include "app/module_loader.h"

#include <QLibrary>
#include <cstdio>
#include <filesystem>

#include "app/window_program.h"

namespace pump::app {

std::vector<std::string> ModulePlaces(const std::string& programFolder, const std::string& file) {
  std::vector<std::string> places{
      (std::filesystem::path(programFolder) / "modules" / file).string()};
#ifdef PUMP_MODULES_IN_BUILD
  places.push_back((std::filesystem::path(PUMP_MODULES_IN_BUILD) / file).string());
#endif
  return places;
}

void* ModuleSymbol(const std::string& file, const char* symbol) {
  QString why;
  for (const auto& place : ModulePlaces(ProgramFolder(), file)) {
    if (!std::filesystem::exists(place)) continue;
    // Never unloaded: the windows and printers it made live on in this program.
    QLibrary module(QString::fromStdString(place));
    if (void* found = reinterpret_cast<void*>(module.resolve(symbol))) return found;
    why = module.errorString();
    break;
  }
  if (why.isEmpty()) why = QStringLiteral("not found beside the program");
  std::fprintf(stderr, "pump-console: cannot open %s: %s\n", file.c_str(), qPrintable(why));
  return nullptr;
}

}  // namespace pump::app
