// The program window's files: 打开… and 保存… in the operator's programs
// folder, read through the reader every named file goes through.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <variant>

#include "app/program_window.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::app {
namespace {

using program::ProgramTable;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString PumpProgramsFolder() {
  return QDir::homePath() + QStringLiteral("/Documents/pump-programs");
}

bool ProgramWindow::openFile(const QString& path) {
  std::string bytes;
  const FileResult file =
      program::ReadProgramFileBytes(QFile::encodeName(path).toStdString(), &bytes);
  if (!file.ok) {
    dialogs_.showMessage(texts::kProgramFileNotRead + FailureForOperator(file),
                         texts::kProgramTitle);
    return false;
  }
  const auto read = program::ReadProgram(bytes);
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    dialogs_.showMessage(texts::kProgramFileRefused + std::string("\n") + fault->message,
                         texts::kProgramTitle);
    return false;
  }
  showTable(ProgramTable::FromProgram(std::get<program::Program>(read)));
  return true;
}

bool ProgramWindow::saveTo(const QString& path) {
  const auto program = table_.program();
  if (!program) {
    dialogs_.showMessage(texts::kProgramFileNotSaved + table_.faults().front().message,
                         texts::kProgramTitle);
    return false;
  }
  QSaveFile file(path);
  const QByteArray bytes = QByteArray::fromStdString(program::WriteProgram(*program) + "\n");
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    dialogs_.showMessage(texts::kProgramFileNotSaved + file.errorString().toStdString(),
                         texts::kProgramTitle);
    return false;
  }
  table_.markSaved();
  return true;
}

void ProgramWindow::askOpen() {
  if (!mayDiscardEdits()) return;
  const QString folder =
      QDir(PumpProgramsFolder()).exists() ? PumpProgramsFolder() : QDir::homePath();
  const QString path = QFileDialog::getOpenFileName(this, Utf8(texts::kOpenProgramButton), folder,
                                                    Utf8(texts::kProgramFileFilter));
  if (!path.isEmpty()) openFile(path);
}

// The folder is made at the first save.
void ProgramWindow::askSave() {
  QDir().mkpath(PumpProgramsFolder());
  const QString proposed = PumpProgramsFolder() + "/" + Utf8(table_.name()) + ".json";
  QString path = QFileDialog::getSaveFileName(this, Utf8(texts::kSaveProgramButton), proposed,
                                              Utf8(texts::kProgramFileFilter));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) path += ".json";
  saveTo(path);
}

}  // namespace pump::app
