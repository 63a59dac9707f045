#include "shell/ConfigStore.h"

#include <algorithm>
#include <vector>

#include "core/FileSystem.h"
#include "shell/App.h"
#include "shell/Registry.h"
#include "shell/ui/Window.h"
#include "web/TextOps.h"

namespace {

struct Setting {
  const char* valueName;  // also the label of its line in the export
  const char* control;
  const char* defaultText;
  int saveOrder;  // 0: not saved by the store
};

// In load order, which is also the export order.
constexpr Setting kSettings[] = {
    {"验证用户", "编辑框3", "", 1},
    {"密码", "编辑框4", "", 2},
    {"收件人地址", "编辑框6", "", 3},
    {"APIKEY", "编辑框5", "", 0},
    {"队列路径", "编辑框2", "C:\\Users", 4},
    {"队列阀值", "编辑框7", "50", 5},
    {"磁盘阀值", "编辑框12", "5", 6},
    {"监控频率", "编辑框8", "15", 7},
    {"端口监控_服务器地址", "编辑框17", "127.0.0.1", 8},
    {"端口监控_监控端口", "编辑框18", "25", 9},
    {"端口监控_监控频率", "编辑框19", "", 10},
};

constexpr const char* kExportField = "编辑框9";
constexpr const char* kSaveDialog = "通用对话框保存";

struct KeyAndName {
  Text key, name;
};

KeyAndName splitPath(const Text& path) {
  int last = textFindLast(path, "\\");
  if (last < 1) return {Text(), path};
  return {textLeft(path, last - 1), textMid(path, last + 1, static_cast<int>(path.size()))};
}

}  // namespace

namespace ConfigStore {

Text writePath(const Text& valueName) { return "Software\\Vantrel\\" + valueName; }
Text readPath(const Text& valueName) { return "SOFTWARE\\Vantrel\\" + valueName; }

Text readText(App& app, const Text& path, const Text& defaultText) {
  if (app.registry == nullptr) return defaultText;
  KeyAndName where = splitPath(path);
  RegistryValue value = app.registry->read(where.key, where.name);
  if (value.type == RegistryType::String || value.type == RegistryType::ExpandString) {
    return value.text;
  }
  return defaultText;
}

void writeText(App& app, const Text& path, const Text& text) {
  if (app.registry == nullptr) return;
  KeyAndName where = splitPath(path);
  app.registry->writeString(where.key, where.name, text);
}

void load(App& app) {
  for (const Setting& s : kSettings) {
    app.main->setText(s.control, readText(app, readPath(s.valueName), s.defaultText));
  }
}

void save(App& app) {
  std::vector<const Setting*> saved;
  for (const Setting& s : kSettings) {
    if (s.saveOrder > 0) saved.push_back(&s);
  }
  std::sort(saved.begin(), saved.end(),
            [](const Setting* a, const Setting* b) { return a->saveOrder < b->saveOrder; });
  for (const Setting* s : saved) {
    writeText(app, writePath(s->valueName), app.main->text(s->control));
  }
}

void exportSettings(App& app) {
  ui::Window& window = *app.main;
  Text text;
  for (const Setting& s : kSettings) {
    if (&s != kSettings) text += "\r\n\r\n";
    text += s.valueName;
    text += "：";
    text += window.text(s.control);
  }
  window.setText(kExportField, text);
  if (!window.runSaveDialog(kSaveDialog)) return;
  Text path = window.text(kSaveDialog);
  if (app.files == nullptr || path.empty()) return;
  // Failure is silent; the file is either the old one or the whole new text.
  app.files->writeWholeFile(path, blobFromText(window.text(kExportField)));
}

}  // namespace ConfigStore
