#include "tests/gui/as_nobody.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace pump::testing {

ChildRun RunAsNobody(const std::string& disabledTest, const std::string& argument) {
  ChildRun run;
  if (::geteuid() != 0) {
    run.output = "only root can run a check as user nobody";
    return run;
  }
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("PUMP_CHILD_ARG", QString::fromStdString(argument));
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  // nobody cannot reach root's home or runtime folder.
  environment.insert("HOME", "/tmp");
  environment.insert("XDG_RUNTIME_DIR", "/tmp");
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start("setpriv",
              {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
               QCoreApplication::applicationFilePath(), "--gtest_also_run_disabled_tests",
               QString::fromStdString("--gtest_filter=" + disabledTest)});
  if (!child.waitForStarted(5000)) {
    run.output = "setpriv could not be started";
    return run;
  }
  run.status = 1;
  child.waitForFinished(60000);
  run.output = child.readAll().toStdString();
  if (run.output.find("setpriv: failed to execute") != std::string::npos) {
    run.status = -1;
    run.output = "the test binary is out of user nobody's reach: " + run.output;
    return run;
  }
  // A filter that matched nothing also exits with 0.
  const bool ranOne = run.output.find("[  PASSED  ] 1 test.") != std::string::npos;
  if (child.exitStatus() == QProcess::NormalExit) run.status = ranOne ? child.exitCode() : 1;
  return run;
}

std::string ChildArgument() { return qEnvironmentVariable("PUMP_CHILD_ARG").toStdString(); }

}  // namespace pump::testing
