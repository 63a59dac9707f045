// The disk-space query of a drive root, in whole KB (bytes / 1024, truncated),
// carried in 64 bits so that volumes of 2 TiB and more keep their true size.
#pragma once

#include <cstdint>

#include "core/Text.h"

class DiskSpace {
 public:
  virtual ~DiskSpace() = default;

  // The total size of the volume at `root` (e.g. "C:\"); -1 when it cannot be
  // queried (no such drive, no medium, no access).
  virtual std::int64_t totalKb(const Text& root) = 0;
  // The free space available to the calling user (so quotas count); -1 when
  // it cannot be queried.
  virtual std::int64_t freeKb(const Text& root) = 0;
};
