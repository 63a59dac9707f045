// The file system of the native build, for tests: GBK paths become UTF-8 and
// backslashes become slashes. POSIX has no deletion sharing, so a held file can
// still be deleted here; the Windows build is where the lock is real.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "core/CodePage.h"
#include "core/FileSystem.h"

namespace {

std::string nativePath(const Text& path) {
  std::string utf8 = CodePage::gbkToUtf8(path);  // a UTF-8 byte 0x5C is always "\"
  for (char& c : utf8)
    if (c == '\\') c = '/';
  return utf8;
}

class PosixHeldFile final : public HeldFile {
 public:
  explicit PosixHeldFile(int fd) : fd_(fd) {}
  ~PosixHeldFile() override { ::close(fd_); }
  PosixHeldFile(const PosixHeldFile&) = delete;
  PosixHeldFile& operator=(const PosixHeldFile&) = delete;

 private:
  int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  bool exists(const Text& path) override {
    struct stat info;
    return ::stat(nativePath(path).c_str(), &info) == 0;
  }

  bool remove(const Text& path) override { return ::unlink(nativePath(path).c_str()) == 0; }

  std::shared_ptr<HeldFile> createHeld(const Text& path) override {
    int fd = ::open(nativePath(path).c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_shared<PosixHeldFile>(fd);
  }

  bool writeWholeFile(const Text& path, const ByteBlob& bytes) override {
    std::string target = nativePath(path);
    std::string temp = target + "." + std::to_string(::getpid()) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool written = true;
    for (std::size_t done = 0; written && done < bytes.size();) {
      ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0)
        written = false;
      else
        done += static_cast<std::size_t>(n);
    }
    written = ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (written && std::rename(temp.c_str(), target.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
  }
};

}  // namespace

FileSystem& systemFileSystem() {
  static PosixFileSystem files;
  return files;
}
