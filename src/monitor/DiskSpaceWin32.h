// The product's disk-space query: GetDiskFreeSpaceExW.
#pragma once

#include <memory>

#include "monitor/DiskSpace.h"

std::unique_ptr<DiskSpace> makeWin32DiskSpace();
