// Where the logs go, as the desktop's user-dirs.dirs says.
#include "runlog/log_folder.h"

#include <gtest/gtest.h>

namespace pump::runlog {
namespace {

TEST(LogFolder, DocumentsFolderIsFoundLikeXdgUserDirFindsIt) {
  const struct {
    const char* userDirs;
    const char* documents;
  } cases[] = {
      {"", "/home/op/Documents"},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/home/op/Documents"},
      {"# XDG_DOCUMENTS_DIR=\"$HOME/old\"\nXDG_DOCUMENTS_DIR=\"$HOME/文档\"\n", "/home/op/文档"},
      {"XDG_DOCUMENTS_DIR=\"/data/docs/\"\r\n", "/data/docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "/home/op"},  // the desktop turned the folder off
      {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", "/home/op/b"},
  };
  for (const auto& c : cases) EXPECT_EQ(DocumentsFolder(c.userDirs, "/home/op"), c.documents);
}

}  // namespace
}  // namespace pump::runlog
