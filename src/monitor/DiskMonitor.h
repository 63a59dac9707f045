// The disk-space monitor: surveys the drive letters A to Z, lists every drive
// larger than 1 GiB with its free space in the 磁盘状态 field, and raises the
// disk alarm on 时钟3 when a drive has fewer whole GB free than the threshold,
// then backs off to once every three hours.
#pragma once

#include <cstdint>

struct App;

namespace DiskMonitor {

// Free KB as whole GB (1024 * 1024 KB), truncated toward zero: a query that
// failed (-1) reads as 0.
std::int64_t wholeGb(std::int64_t kb);

// Rewrites the 磁盘状态 field and sets App::diskAlarmPending when a listed
// drive is below the threshold; never clears it. Also run when the main
// window is created.
void scanDisks(App& app);

// 时钟3's event.
void diskPass(App& app);

}  // namespace DiskMonitor
