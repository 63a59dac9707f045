// The snapshot of the monitoring fields, taken when monitoring starts; the
// test-mail button rewrites the three relay fields.
#pragma once

#include <cstdint>

#include "core/Text.h"

struct MonitorSettings {
  Text relayUser;
  Text relayPassword;
  Text queueSubject;
  Text diskSubject;
  Text recipient;
  std::int32_t queueThreshold = 0;
  std::int32_t diskThresholdGb = 0;
  std::int32_t frequencyMinutes = 0;
  std::int32_t watchedPort = 0;
  std::int32_t portFrequencyMinutes = 0;
};
