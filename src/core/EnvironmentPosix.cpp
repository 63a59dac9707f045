#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/CodePage.h"
#include "core/Environment.h"

namespace Environment {

Text variable(const Text& name) {
  const char* value = std::getenv(CodePage::gbkToUtf8(name).c_str());
  return value ? CodePage::utf8ToGbk(value) : Text();
}

Text programFolder() {
  std::string path(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return Text();
  path.resize(static_cast<std::size_t>(n));
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? Text() : CodePage::utf8ToGbk(path.substr(0, slash));
}

}  // namespace Environment
