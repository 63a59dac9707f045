// The queue directory natively, for tests: the pattern's path becomes UTF-8
// with "\" read as "/", its last part is matched as the Windows search matches
// it ("*.*" and "*" take every name), and every entry that is not a directory
// (following links, as the Windows search reports a linked directory) counts.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "core/CodePage.h"
#include "monitor/QueueDirectory.h"

namespace {

bool matches(const std::string& wildcard, const char* name) {
  if (wildcard == "*.*" || wildcard == "*") return true;
  return fnmatch(wildcard.c_str(), name, 0) == 0;
}

bool isDirectory(DIR* dir, const dirent& entry) {
  if (entry.d_type == DT_DIR) return true;
  if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
  struct stat status;
  if (fstatat(dirfd(dir), entry.d_name, &status, 0) != 0) return false;  // a dangling link
  return S_ISDIR(status.st_mode);
}

class PosixQueueDirectory final : public QueueDirectory {
 public:
  std::int64_t countFiles(const Text& pattern) override {
    // Converted before the separators are replaced: a GBK trail byte can be
    // 0x5C, a UTF-8 byte of a Chinese character never is.
    std::string path = CodePage::gbkToUtf8(pattern);
    if (path.empty()) return 0;
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string wildcard = slash == std::string::npos ? path : path.substr(slash + 1);

    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return 0;
    std::int64_t count = 0;
    while (const dirent* entry = readdir(dir)) {
      if (matches(wildcard, entry->d_name) && !isDirectory(dir, *entry)) ++count;
    }
    closedir(dir);
    return count;
  }
};

}  // namespace

std::unique_ptr<QueueDirectory> makeSystemQueueDirectory() {
  return std::make_unique<PosixQueueDirectory>();
}
