#include "web/AlertServiceClient.h"

#include "shell/App.h"
#include "shell/ConfigStore.h"
#include "shell/SiteConstants.h"
#include "shell/ui/Window.h"
#include "web/WebRequest.h"

namespace AlertServiceClient {
namespace {

constexpr const char* kKeyField = "编辑框5";
constexpr const char* kReplyField = "编辑框13";
constexpr const char* kVerifyButton = "按钮验证";
constexpr const char* kKeyValue = "APIKEY";

struct Reply {
  const char* text;
  const char* message;
  int flags;
};

const Reply kReplies[] = {
    {"OK", "APIKEY与手机号验证成功，请检查是否收到测试短信。", ui::kMbInfo},
    {"ERROR_APIKEY", "APIKEY在系统中没有找到，请确认输入的APIKEY是否正确！", ui::kMbWarning},
    {"ERROR_NOT_Found_MP", "APIKEY正确，但手机没有在日志系统中通过短信/语音验证！", ui::kMbWarning},
    {"ERROR_POST", "APIKEY为空或大小写不一致！", ui::kMbWarning},
};

ByteBlob post(App& app, const Text& body) {
  if (!app.internet) return {};
  return WebRequest::send(*app.internet, SiteConstants::alertServiceUrl, WebRequest::kPost, body);
}

// Read-only and grey field, verify button "已验证" and disabled.
void lockKeyField(ui::Window& window) {
  window.setInputMode(kKeyField, 1);
  window.setBackground(kKeyField, ui::kGreyBackground);
  window.setText(kVerifyButton, "已验证");
  window.setDisabled(kVerifyButton, true);
}

}  // namespace

Text alarmBody(const Text& key, const Text& typeCode, const Text& count) {
  const Text prefix = "APIKEY=" + key + "&TYPE=" + typeCode;
  if (typeCode == kQueueAlarm || typeCode == kDiskAlarm) return prefix + "&COUNT=" + count;
  if (typeCode == kPortAlarm) return prefix;
  return {};
}

void alertNotify(App& app, const Text& key, const Text& typeCode, const Text& count) {
  const Text body = alarmBody(key, typeCode, count);
  if (!body.empty()) post(app, body);
}

void verifyKey(App& app) {
  ui::Window& window = *app.main;
  const ByteBlob reply = post(app, "APIKEY=" + window.text(kKeyField) + "&TYPE=001");
  window.setText(kReplyField, textFromBlob(reply));
  const Text answer = window.text(kReplyField);
  for (const Reply& known : kReplies) {
    if (answer != known.text) continue;
    const bool accepted = &known == &kReplies[0];
    if (accepted) {
      ConfigStore::writeText(app, ConfigStore::writePath(kKeyValue), window.text(kKeyField));
    }
    ui::messageBox(*app.desktop, known.message, known.flags);
    if (accepted) {
      window.setText(kVerifyButton, "已验证");
      window.setDisabled(kVerifyButton, true);
      window.setInputMode(kKeyField, 1);
      window.setBackground(kKeyField, ui::kGreyBackground);
    }
    return;
  }
}

void changeKey(App& app) {
  ui::Window& window = *app.main;
  window.setText(kKeyField, "");
  window.setInputMode(kKeyField, 0);
  window.setBackground(kKeyField, ui::kWhiteBackground);
  window.setText(kVerifyButton, "验证");
  window.setDisabled(kVerifyButton, false);
}

void restoreKeyState(App& app) {
  if (!ConfigStore::readText(app, ConfigStore::readPath(kKeyValue), "").empty()) {
    lockKeyField(*app.main);
  }
}

}  // namespace AlertServiceClient
