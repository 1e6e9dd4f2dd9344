// A program as the main window shows it: its step and time left on the status
// line, a manual action that aborted it said once, and the question asked
// before the window closes on a running program (or opens another port on a
// run).
#include "console/main_window.h"
#include "program/program_file.h"

namespace pump::console {

std::string ProgramStatusText(const session::ProgramProgress& progress) {
  std::string text = texts::ProgramStatus(progress.name, progress.step, progress.steps,
                                          program::HoursMinutesSeconds(progress.secondsLeft));
  if (progress.state == session::ProgramRunState::Paused) text += texts::kProgramPausedMark;
  return text;
}

void MainWindow::showProgramStep(const std::string& detail) {
  if (detail.rfind("start ", 0) == 0) programAbortedByHand_ = false;
  if (detail == "abort manual") programAbortedByHand_ = true;
  refreshStatusLine();
}

MainWindow::CloseAnswer MainWindow::askToClose() {
  if (!session_.runningProgram()) return CloseAnswer::Close;
  return askToEndRun(texts::kCloseDuringProgram, texts::kProgramTitle);
}

// Before the window lets go of a line with a run on it: No keeps both; Yes
// ends the run, its stop going to that line.
MainWindow::CloseAnswer MainWindow::askToEndRun(const char* question, const char* title) {
  if (!dialogs_.askYesNo(question, title)) return CloseAnswer::Stay;
  return session_.stopRunBeforeExit() ? CloseAnswer::CloseAfterStop : CloseAnswer::Close;
}

}  // namespace pump::console
