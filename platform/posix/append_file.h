// The plain POSIX file calls under the background log: each returns the errno
// it failed with, or 0.
#pragma once

#include <string>
#include <string_view>

namespace pump::posix {

// Makes the folder and any missing folders above it. ENOTDIR when one of
// them is something other than a folder; *fileInTheWay (if given) then names it.
int MakeFolders(const std::string& folder, std::string* fileInTheWay = nullptr);

// Creates a file that did not exist, for appending only: `fileName` in the
// folder, or "<stem>-2<ext>", "<stem>-3<ext>", ... when that name is taken.
// On success *fd is open and *path names the file.
int CreateNewFile(const std::string& folder, const std::string& fileName, int* fd,
                  std::string* path);

// The name with a number before the extension: ("a.csv", 2) -> "a-2.csv".
std::string NumberedName(std::string_view fileName, int number);

// Writes from *offset to the end of the bytes, retrying short writes, and
// advances *offset past what went out (also when it then fails).
int WriteFrom(int fd, std::string_view bytes, std::size_t* offset);

// True when the open file no longer has a name (its folder was removed):
// writes to it would go nowhere anyone could read them.
bool IsUnlinked(int fd);

}  // namespace pump::posix
