// Listing one directory for the queue count: the platform's directory search,
// reduced to the one figure the queue monitor needs.
#pragma once

#include <cstdint>
#include <memory>

#include "core/Text.h"

class QueueDirectory {
 public:
  virtual ~QueueDirectory() = default;

  // Lists the entries that match `pattern` (a GBK path whose last part holds
  // the wildcards, e.g. "D:\queue\*.*") from first to last and counts those
  // that are not directories, whatever their attributes. 0 when the directory
  // is missing or cannot be listed.
  virtual std::int64_t countFiles(const Text& pattern) = 0;
};

// The system's listing: FindFirstFileExW on Windows (QueueDirectoryWin32.cpp),
// readdir natively (QueueDirectoryPosix.cpp, "\" read as "/").
std::unique_ptr<QueueDirectory> makeSystemQueueDirectory();
