#include "web/UpdateChecker.h"

#include "core/CodePage.h"
#include "core/Number.h"
#include "shell/App.h"
#include "shell/SiteConstants.h"
#include "shell/ui/Window.h"
#include "web/HttpFileReader.h"
#include "web/TextOps.h"

namespace UpdateChecker {
namespace {

constexpr const char* kQuestion = "  有最新版本 v2.1，是否现在更新？";
constexpr const char* kUpToDate = "Quenthor v2.0\r\n\r\n当前已是最新版本！";
constexpr const char* kOnDemandTitle = "Quenthor";
constexpr const char* kPeriodicTitle = "查找新版本";

void askToUpdate(App& app, const Text& title) {
  if (app.desktop->messageBox(kQuestion, ui::kMbQuestion, title) == ui::kAnswerYes) {
    app.desktop->shellOpen(SiteConstants::downloadPageUrl);
  }
}

}  // namespace

Text utf8ToGbk(const Text& text) {
  // Units of the text in code page 936 and in UTF-8, each with the ending zero.
  const std::size_t measured = CodePage::gbkToUtf16(text).size() + 1;
  const std::u16string decoded = CodePage::utf8ToUtf16(text);
  if (decoded.size() + 1 > measured) return {};
  // The encoding buffer is twice the measured need, so the text always fits.
  const Text encoded = CodePage::utf16ToGbk(decoded);
  return textFromBlob(blobFromText(encoded));
}

float fetchLatestVersion(App& app) {
  if (!app.httpFiles) return 0.0f;
  const Text text = utf8ToGbk(textFromBlob(app.httpFiles->get(SiteConstants::versionFileUrl)));
  return static_cast<float>(textToNumber(textBetween(text, "new:", "=")));
}

bool isNewer(float version) { return static_cast<double>(version) - kCurrentVersion > 1e-7; }

void checkOnDemand(App& app) {
  if (isNewer(fetchLatestVersion(app))) {
    askToUpdate(app, kOnDemandTitle);
  } else {
    ui::messageBox(*app.desktop, kUpToDate, ui::kMbInfo);
  }
}

void checkPeriodic(App& app) {
  if (!isNewer(fetchLatestVersion(app))) return;
  app.main->setTimerPeriod(kTimer, 0);
  askToUpdate(app, kPeriodicTitle);
}

void startTimer(App& app) { app.main->setTimerPeriod(kTimer, kPeriodMs); }

}  // namespace UpdateChecker
