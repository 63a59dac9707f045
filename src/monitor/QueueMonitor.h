// The mail-queue monitor: counts the files of the queue directory (the
// 队列路径 field), shows the count in the 当前队列 field and raises the queue
// alarm when the count exceeds the threshold. The normal pass runs on 时钟1;
// after an alarm the post-alarm pass on 时钟2 alarms again only when the queue
// has grown by more than the threshold since the last alarm (the registry
// value "队列数量"), and hands back to 时钟1 once the queue is below the
// threshold.
#pragma once

#include <cstdint>

#include "core/Text.h"

struct App;

namespace QueueMonitor {

// Files directly inside `directory` (hidden, system and read-only ones too;
// sub-directories not), listed with the pattern directory + "\*.*". 0 when the
// directory is missing or cannot be listed.
std::int32_t countQueue(App& app, const Text& directory);

// The queue alarm's body for the local address, the count and the threshold.
Text composeQueueBody(const Text& localAddress, std::int32_t count, std::int32_t threshold);

// 时钟1's event.
void normalPass(App& app);
// 时钟2's event.
void postAlarmPass(App& app);

}  // namespace QueueMonitor
