// Switching monitoring on and off: the handlers of the buttons 开始监控 and
// 停止监控. Start snapshots the monitoring fields into App::settings, checks the
// fields the queue and disk watchers need and sets the watch timers' periods;
// Stop sets every watch timer to 0.
#pragma once

#include <cstdint>

struct App;

namespace MonitorControl {

// A frequency in minutes as a timer period in milliseconds, in 64 bits so that
// long frequencies keep their true length (35792 minutes and more do not fit
// 32 bits); 0 for 0 or negative minutes, which stops a timer.
std::int64_t periodMs(std::int32_t minutes);

void start(App& app);
void stop(App& app);

}  // namespace MonitorControl
