#include "app/report_after_program.h"

#include <QFileInfo>
#include <QProcess>

namespace pump::app {

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

bool StartReportBesideLog(const std::string& logPath, const std::string& pumpId,
                          const std::string& programFolder) {
  for (const auto& program : ReportProgramPlaces(programFolder)) {
    if (!QFileInfo(QString::fromStdString(program)).isExecutable()) continue;
    QStringList arguments{"--report", QString::fromStdString(logPath), "--output",
                          QString::fromStdString(ReportPathBesideLog(logPath))};
    if (!pumpId.empty()) arguments << "--pump-id" << QString::fromStdString(pumpId);
    return QProcess::startDetached(QString::fromStdString(program), arguments);
  }
  return false;
}

bool ReportAfterProgramEnd(const QSettings& settings, const std::string& logPath,
                           const std::string& pumpId) {
  return ReportAfterProgramOn(settings) && StartReportBesideLog(logPath, pumpId);
}

}  // namespace pump::app
