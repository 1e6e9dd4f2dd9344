// The operator console: one main window, run until it is closed or ended.
#include <QApplication>
#include <QIcon>

#include "app/composition.h"
#include "console/form1_design.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pump::app::LoadAssets();
  pump::app::InstallFontSubstitutes();
  const auto icon = pump::console::design::Window().icon;
  QApplication::setWindowIcon(
      QIcon(QString::fromUtf8(icon.data(), static_cast<qsizetype>(icon.size()))));

  pump::app::Console console;
  console.start();
  return QApplication::exec();
}
