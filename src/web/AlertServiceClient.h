// The program's side of the SMS alert service: a form post with the user's
// service key (the APIKEY in 编辑框5) and an alert type. Alarms post their
// notification; the verify button asks the service to confirm the key and
// locks the field when it does; the change button unlocks it.
#pragma once

#include "core/Text.h"

struct App;

namespace AlertServiceClient {

inline constexpr const char* kQueueAlarm = "002";
inline constexpr const char* kPortAlarm = "003";
inline constexpr const char* kDiskAlarm = "004";

// The request body of an alarm: "APIKEY=" key "&TYPE=002&COUNT=" count,
// "&TYPE=003" (no count) or "&TYPE=004&COUNT=" count; empty for any other
// type code. Nothing is encoded.
Text alarmBody(const Text& key, const Text& typeCode, const Text& count);

// Posts the alarm's notification to the alert service; the reply is
// discarded and nothing is reported. An unknown type code posts nothing.
void alertNotify(App& app, const Text& key, const Text& typeCode, const Text& count = Text());

// Button 按钮验证: posts "APIKEY=" key "&TYPE=001", keeps the reply in
// 编辑框13 and answers it; "OK" stores the key and locks the field.
void verifyKey(App& app);
// Button 按钮更改: empties and unlocks the key field; the stored key stays.
void changeKey(App& app);
// Creation of the main window, after the settings load: a stored key puts
// the field into the verified state.
void restoreKeyState(App& app);

}  // namespace AlertServiceClient
