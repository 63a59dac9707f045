// The queue count as a command for scripts/bench-queue-count:
//
//   queue_count_bench DIR [RUNS]
//
// Counts DIR with QueueMonitor::countQueue over the system's listing RUNS
// times (default 5) in this process and prints "count N best_us B median_us M".
// On Windows it also times the plain FindFirstFileW/FindNextFileW listing of
// the same pattern ("plain_best_us P") to show what the basic information
// level with large fetches saves.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "monitor/QueueDirectory.h"
#include "monitor/QueueMonitor.h"
#include "shell/App.h"

#ifdef _WIN32
#include <windows.h>

#include "core/CodePage.h"
#else
#include <time.h>
#endif

namespace {

long long microseconds() {
#ifdef _WIN32
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return now.QuadPart * 1000000LL / frequency.QuadPart;
#else
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000000LL + ts.tv_nsec / 1000;
#endif
}

#ifdef _WIN32
long long plainListing(const Text& pattern) {
  std::u16string wide = CodePage::gbkToUtf16(pattern);
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  long long count = 0;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ++count;
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return count;
}
#endif

template <typename F>
std::vector<long long> timings(int runs, F&& run) {
  std::vector<long long> us;
  for (int i = 0; i < runs; ++i) {
    const long long start = microseconds();
    run();
    us.push_back(microseconds() - start);
  }
  std::sort(us.begin(), us.end());
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: queue_count_bench DIR [RUNS]\n");
    return 2;
  }
  const Text directory = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::unique_ptr<QueueDirectory> listing = makeSystemQueueDirectory();
  App app;
  app.queueDirectory = listing.get();

  std::int32_t count = 0;
  const auto us = timings(runs, [&] { count = QueueMonitor::countQueue(app, directory); });
  std::printf("count %d best_us %lld median_us %lld", count, us.front(), us[us.size() / 2]);
#ifdef _WIN32
  long long plain = 0;
  const auto plainUs = timings(runs, [&] { plain = plainListing(directory + "\\*.*"); });
  std::printf(" plain_count %lld plain_best_us %lld", plain, plainUs.front());
#endif
  std::printf("\n");
  return 0;
}
