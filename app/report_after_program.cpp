#include "app/report_after_program.h"

#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <vector>

#include "texts/operator_texts.h"

namespace pump::app {

namespace {

// pump-report's last line on its standard error, without its program name.
std::string Cause(QProcess& process) {
  static const QString kName = "pump-console: ";
  if (process.exitStatus() == QProcess::CrashExit) {
    return "pump-report: " + process.errorString().toStdString();
  }
  const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
  QString line = said.mid(said.lastIndexOf('\n') + 1);
  if (line.startsWith(kName)) line.remove(0, kName.size());
  if (line.isEmpty()) return "pump-report: exit " + std::to_string(process.exitCode());
  return line.toStdString();
}

// The reports under way. A console that quits first leaves them running:
// their process objects have no parent and stay listed here, never freed,
// until pump-report ends or the console's process does.
std::vector<QProcess*>& ReportsUnderWay() {
  static auto* running = new std::vector<QProcess*>;
  return *running;
}

// The process object outlives the console's call and goes when pump-report ends.
void Watch(QProcess* process, ReportListener listener) {
  ReportsUnderWay().push_back(process);
  QObject::connect(process, &QProcess::finished, process,
                   [process, listener = std::move(listener)](int, QProcess::ExitStatus) {
                     const bool written =
                         process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
                     if (!written && listener.tell) {
                       const std::string told = texts::ReportAfterProgramFailed(Cause(*process));
                       listener.tell(told, told);
                     }
                     if (listener.ended) listener.ended(written);
                     auto& running = ReportsUnderWay();
                     running.erase(std::remove(running.begin(), running.end(), process),
                                   running.end());
                     process->deleteLater();
                   });
}

}  // namespace

bool ReportAfterProgramOn(const QSettings& settings) {
  return settings.value(kReportAfterProgramKey, true).toBool();
}

void SetReportAfterProgram(QSettings& settings, bool on) {
  settings.setValue(kReportAfterProgramKey, on);
}

std::string ReportPathBesideLog(const std::string& logPath) {
  const std::string::size_type dot = logPath.rfind('.');
  const std::string::size_type slash = logPath.rfind('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? logPath.substr(0, dot) : logPath) + ".pdf";
}

bool StartReportBesideLog(const std::string& logPath, ReportListener listener,
                          const std::string& pumpId, const std::string& programFolder) {
  for (const auto& program : ReportProgramPlaces(programFolder)) {
    if (!QFileInfo(QString::fromStdString(program)).isExecutable()) continue;
    QStringList arguments{"--report", QString::fromStdString(logPath), "--output",
                          QString::fromStdString(ReportPathBesideLog(logPath))};
    if (!pumpId.empty()) arguments << "--pump-id" << QString::fromStdString(pumpId);
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    Watch(process, std::move(listener));
    process->start(QString::fromStdString(program), arguments);
    if (process->waitForStarted()) return true;
    auto& running = ReportsUnderWay();
    running.erase(std::remove(running.begin(), running.end(), process), running.end());
    delete process;
    return false;
  }
  return false;
}

bool ReportAfterProgramEnd(const QSettings& settings, const std::string& logPath, RunLogTeller tell,
                           const std::string& pumpId) {
  return ReportAfterProgramOn(settings) && StartReportBesideLog(logPath, {std::move(tell)}, pumpId);
}

}  // namespace pump::app
