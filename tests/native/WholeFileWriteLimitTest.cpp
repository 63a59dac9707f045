// A whole-file write that fails half way (the process's file-size limit cuts
// it off, as a full disk would) leaves the old file exactly as it was and no
// temporary file beside it.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "core/FileSystem.h"
#include "support/ScratchDirectory.h"

namespace {

ByteBlob readAll(const Text& path) {
  std::ifstream in(CodePage::gbkToUtf8(path), std::ios::binary);
  return ByteBlob(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lowers the soft file-size limit for the test's length; writes beyond it
// fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
  bool ok_ = false;
};

TEST(WholeFileWrite, FailureHalfWayKeepsTheOldFile) {
  ScratchDirectory dir;
  ASSERT_TRUE(dir.ok());
  FileSystem& files = systemFileSystem();
  const Text path = dir.child("设置.txt");
  const ByteBlob old = blobFromText("旧的导出内容");
  ASSERT_TRUE(files.writeWholeFile(path, old));

  ByteBlob large(64 * 1024, static_cast<std::uint8_t>('A'));
  {
    FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(files.writeWholeFile(path, large));
  }
  EXPECT_EQ(readAll(path), old);
  // The cut-off temporary file is gone.
  std::set<std::string> names;
  if (DIR* folder = opendir(CodePage::gbkToUtf8(dir.path()).c_str())) {
    while (dirent* entry = readdir(folder)) names.insert(CodePage::utf8ToGbk(entry->d_name));
    closedir(folder);
  }
  EXPECT_EQ(names, (std::set<std::string>{".", "..", "设置.txt"}));
}

}  // namespace
