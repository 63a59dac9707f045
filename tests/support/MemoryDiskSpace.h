// Drives in memory: total and free KB per drive root ("C:\"); a root that is
// not there, or a figure of -1, is a query that fails. Every query is
// recorded as "total C:\" or "free C:\".
#pragma once

#include <map>
#include <vector>

#include "monitor/DiskSpace.h"

class MemoryDiskSpace final : public DiskSpace {
 public:
  static constexpr std::int64_t kGib = 1048576;  // in KB

  struct Drive {
    std::int64_t totalKb = -1;
    std::int64_t freeKb = -1;
  };
  std::map<Text, Drive> drives;
  std::vector<Text> queries;

  std::int64_t totalKb(const Text& root) override {
    queries.push_back("total " + root);
    auto found = drives.find(root);
    return found == drives.end() ? -1 : found->second.totalKb;
  }
  std::int64_t freeKb(const Text& root) override {
    queries.push_back("free " + root);
    auto found = drives.find(root);
    return found == drives.end() ? -1 : found->second.freeKb;
  }
};
