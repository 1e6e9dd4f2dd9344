// Files a person names, read the one way the console reads them: regular
// files only, never waiting on what the path leads to, never past the limit.
#include "platform/posix/named_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace pump::posix {
namespace {

constexpr std::uint64_t kLimit = 8;

struct Folder {
  Folder() { ::chmod(path.c_str(), 0755); }
  std::string file(const std::string& name, const std::string& bytes) const {
    std::ofstream(path + "/" + name, std::ios::binary) << bytes;
    return path + "/" + name;
  }
  pump::testing::ScratchFolder scratch;
  std::string path = scratch.path();
};

struct Case {
  const char* what;
  std::function<std::string(const Folder&)> path;
  bool ok;
  FileFailure failure;
  const char* operatorWords;  // what the operator is told; "" when it is read
  const char* bytes = "";
};

const Case kCases[] = {
    {"a regular file", [](const Folder& f) { return f.file("a", "abc"); }, true, {}, "", "abc"},
    {"an empty file", [](const Folder& f) { return f.file("a", ""); }, true, {}, ""},
    {"a file at the limit",
     [](const Folder& f) { return f.file("a", "12345678"); },
     true,
     {},
     "",
     "12345678"},
    {"a file over the limit", [](const Folder& f) { return f.file("a", "123456789"); }, false,
     FileFailure::TooLarge, "文件过大（超过 8 字节）"},
    {"a FIFO with no writer",
     [](const Folder& f) {
       ::mkfifo((f.path + "/fifo").c_str(), 0600);
       return f.path + "/fifo";
     },
     false, FileFailure::NotARegularFile, "不是普通文件（而是管道、设备或文件夹）"},
    {"/dev/zero", [](const Folder&) { return std::string("/dev/zero"); }, false,
     FileFailure::NotARegularFile, "不是普通文件（而是管道、设备或文件夹）"},
    {"a link to /dev/zero",
     [](const Folder& f) {
       std::filesystem::create_symlink("/dev/zero", f.path + "/zero");
       return f.path + "/zero";
     },
     false, FileFailure::NotARegularFile, "不是普通文件（而是管道、设备或文件夹）"},
    {"a folder", [](const Folder& f) { return f.path; }, false, FileFailure::NotARegularFile,
     "不是普通文件（而是管道、设备或文件夹）"},
    {"a missing file", [](const Folder& f) { return f.path + "/none"; }, false,
     FileFailure::Missing, "文件不存在"},
    {"a file under a file", [](const Folder& f) { return f.file("a", "x") + "/b"; }, false,
     FileFailure::Missing, "文件不存在"},
};

TEST(NamedFile, EachKindOfPathIsReadWholeOrRefusedPromptlyWithItsCause) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Folder folder;
    const std::string path = c.path(folder);
    std::string bytes = "untouched";
    const auto started = std::chrono::steady_clock::now();
    const FileResult read = ReadNamedFile(path, kLimit, &bytes);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_EQ(read.ok, c.ok) << read.error;
    EXPECT_EQ(bytes, c.ok ? c.bytes : "untouched");
    if (c.ok) continue;
    EXPECT_EQ(read.failure, c.failure) << read.error;
    EXPECT_EQ(FailureForOperator(read), c.operatorWords);
    EXPECT_FALSE(read.error.empty());
    for (char ch : read.error) EXPECT_TRUE(ch > 0 && ch < 0x7f) << "not ASCII: " << read.error;
  }
}

TEST(NamedFile, AFileThatGrowsPastTheLimitWhileReadIsCutOff) {
  Folder folder;
  const std::string path = folder.file("a", "1234");
  NamedFile file(path, kLimit);
  ASSERT_TRUE(file.opened().ok);
  std::ofstream(path, std::ios::app) << "56789abcdef";
  char block[64];
  ssize_t got = 0, total = 0;
  while ((got = file.read(block, 3)) > 0) total += got;
  EXPECT_EQ(got, -1);
  EXPECT_EQ(errno, EFBIG);
  EXPECT_LE(total, static_cast<ssize_t>(kLimit) + 3);
}

// Root reads anything, so the refusal is seen from user nobody in a child.
TEST(NamedFile, AFileItMayNotReadIsRefusedAsNoPermission) {
  Folder folder;
  const std::string path = folder.file("secret", "abc");
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  const int result = pump::testing::ExitCodeAsNobody([&path] {
    std::string bytes;
    const FileResult read = ReadNamedFile(path, kLimit, &bytes);
    return !read.ok && read.failure == FileFailure::NoPermission &&
                   FailureForOperator(read) == "没有读取权限"
               ? 0
               : 1;
  });
  EXPECT_EQ(result, 0) << pump::testing::kCouldNotBecomeNobody << ": could not become nobody";
}

}  // namespace
}  // namespace pump::posix
