// The operator console: one main window, run until it is closed or ended.
#include <QApplication>

#include "app/composition.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  pump::app::PrepareApplication();

  pump::app::Console console;
  console.start();
  return QApplication::exec();
}
