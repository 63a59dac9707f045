// The main window on the in-memory desktop with working monitoring fields, the
// alarm mails going to a loopback SMTP peer and the SMS notifications to a
// recording WinInet double: what a watcher test needs to see every alarm.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "support/AlarmMail.h"
#include "support/AppFixture.h"
#include "support/RecordingInternet.h"
#include "support/ScriptedSmtpPeer.h"

struct WatcherFixture : AppFixture {
  static constexpr std::int64_t kFrequencyMs = 900000;  // the 监控频率 field's 15 minutes

  ScriptedSmtpPeer relay;
  RecordingInternet alertService;

  WatcherFixture() {
    app.relayHost = "127.0.0.1";
    app.relayPort = relay.port();
    app.internet = &alertService;
  }

  // Opens the main window and fills every field the watchers and the alarm
  // use; 队列路径 is D:\queue. Monitoring is not started.
  ui::MemoryWindow& open() {
    EXPECT_NE(relay.port(), 0) << "the loopback SMTP peer could not listen";
    ui::MemoryWindow& w = start();
    const char* fields[][2] = {
        {"编辑框2", "D:\\queue"},  {"编辑框3", "relayuser"},
        {"编辑框4", "secret"},     {"编辑框6", "admin@example.com"},
        {"编辑框5", "KEY123"},     {"编辑框7", "50"},
        {"编辑框8", "15"},         {"编辑框12", "5"},
        {"编辑框17", "127.0.0.1"}, {"编辑框18", "25"},
        {"编辑框19", ""},
    };
    for (auto& field : fields) w.setText(field[0], field[1]);
    return w;
  }

  bool clickStart() { return window().click("按钮_开始监控"); }
  std::int64_t period(const char* timer) { return window().timerPeriod(timer); }

  // The mails the relay accepted so far, in order.
  std::vector<AlarmMail> mails() const {
    std::vector<AlarmMail> out;
    for (const PeerRecord& r : relay.records()) {
      if (!r.message.empty()) out.push_back({r.message});
    }
    return out;
  }
  // Notifications posted so far, and the body of the last one.
  int notifications() const {
    int n = 0;
    for (const Text& call : alertService.calls) n += call.rfind("sendRequest", 0) == 0;
    return n;
  }
  Text lastNotification() const { return textFromBlob(alertService.sentBody); }
};
