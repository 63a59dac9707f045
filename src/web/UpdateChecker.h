// The update check: the maker's version file, fetched on demand (menu
// "在线更新") and every 30 days on 时钟5, compared with the program's 2.0.
#pragma once

#include <cstdint>

#include "core/Text.h"

struct App;

namespace UpdateChecker {

inline constexpr double kCurrentVersion = 2.0;
// 30 days, more than a signed 32-bit count holds; the window layer carries it.
inline constexpr std::int64_t kPeriodMs = 2592000000;
inline constexpr const char* kTimer = "时钟5";

// The version file's text converted from UTF-8 to GBK. The measures of the
// buffers are taken in code page 936, the decoding is UTF-8: when decoding
// needs more UTF-16 units than the code-page measure gave, the result is
// empty. Characters GBK lacks become "?".
Text utf8ToGbk(const Text& text);

// The number between the first "new:" and the next "=" of the version file,
// in single precision; 0 when the file is unreachable or has no such number.
float fetchLatestVersion(App& app);

// Newer than 2.0 by more than 1e-7.
bool isNewer(float version);

// Menu "在线更新": always answers, with the question or "当前已是最新版本！".
void checkOnDemand(App& app);
// A tick of 时钟5: speaks only of a newer version, and then stops 时钟5 first.
void checkPeriodic(App& app);
// Creation of the main window: 时钟5 gets its 30-day period.
void startTimer(App& app);

}  // namespace UpdateChecker
