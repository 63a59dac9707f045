// Queue directories in memory: a number of files per directory path, listed
// with the pattern directory + "\*.*" as the queue monitor asks for it. Every
// pattern asked for is recorded.
#pragma once

#include <map>
#include <vector>

#include "monitor/QueueDirectory.h"

class MemoryQueueDirectory final : public QueueDirectory {
 public:
  std::map<Text, std::int64_t> files;  // by directory path; a missing path lists nothing
  std::vector<Text> patterns;

  std::int64_t countFiles(const Text& pattern) override {
    patterns.push_back(pattern);
    const Text suffix = "\\*.*";
    if (pattern.size() < suffix.size() ||
        pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0) {
      return 0;
    }
    auto found = files.find(pattern.substr(0, pattern.size() - suffix.size()));
    return found == files.end() ? 0 : found->second;
  }
};
