// A log that is only ever appended to, one file after another in one folder,
// written away from the caller's thread so that a slow or failing disk never
// holds the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace pump {

// Why lines could not be written: the folder or file, and the system's error
// number (errno).
struct AppendFailure {
  std::string path;
  int error = 0;
  // For ENOTDIR: the file that stands where a folder of `path` should be,
  // when it is known.
  std::string fileInTheWay{};
};

// What the log tells its owner. Both are called on the log's own thread, not
// the caller's: an owner with a window must pass them on to the window's thread.
struct AppendLogListener {
  // Writing failed after it had worked (or at the first try). Called once per
  // failure, not again for each retry that fails the same way.
  std::function<void(const AppendFailure&)> failed;
  // Writing works again after a failure; `droppedLines` lines were thrown
  // away meanwhile because too many were waiting.
  std::function<void(std::uint64_t droppedLines)> resumed;
};

class AppendOnlyLog {
 public:
  virtual ~AppendOnlyLog() = default;

  // Lines after this go to a new file of this name in the log folder, or, if
  // that name is taken, to "<stem>-2<ext>", "<stem>-3<ext>", ... The folder and
  // the file are made only when the first line is written; `header` is the
  // file's first line. Existing files are never truncated or rewritten.
  virtual void startFile(std::string fileName, std::string header) = 0;
  // One whole line, line end included. Returns at once; the line reaches the
  // file in a single write() of its own, in the order given.
  virtual void append(std::string line) = 0;
  // The current file is closed once the lines before this are written.
  virtual void endFile() = 0;
  // `then` is called, on the log's own thread, once every line given before
  // this call is in the file, with that file's path (empty when no file was
  // open). While writing fails it waits with the lines.
  virtual void whenWritten(std::function<void(const std::string& path)> then) = 0;
};

}  // namespace pump
