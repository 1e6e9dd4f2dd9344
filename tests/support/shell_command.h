// A shell command run to its end, for the tools a test reads its subject's
// output back with (pdftotext, pdfinfo, sha256sum): its exit status and what
// it printed, read through a pipe of its own, so that tests running at the
// same time share no file.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace pump::testing {

struct CommandRun {
  int status = -1;  // the exit status; -1 if it could not run or ended by a signal
  std::string output;
};

// `command` as /bin/sh reads it; only its standard output is taken, unless it
// says otherwise ("2>&1").
inline CommandRun RunCommand(const std::string& command) {
  CommandRun ran;
  FILE* out = ::popen(command.c_str(), "r");
  if (!out) return ran;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, out)) > 0;) {
    ran.output.append(chunk, got);
  }
  const int raw = ::pclose(out);
  ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return ran;
}

// The text of a PDF as poppler's pdftotext lays it out; empty while it cannot.
inline std::string PdfText(const std::string& pdf) {
  return RunCommand("pdftotext -layout '" + pdf + "' - 2>/dev/null").output;
}

}  // namespace pump::testing
