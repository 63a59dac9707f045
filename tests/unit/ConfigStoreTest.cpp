// The settings store against the in-memory registry and file system: what
// load puts into the fields, what save writes and in which order, and the
// exported text's exact bytes.
#include <gtest/gtest.h>

#include <vector>

#include "shell/ConfigStore.h"
#include "support/AppFixture.h"
#include "support/GbkPrint.h"

namespace {

const Text kKey = "Software\\Vantrel";

struct Field {
  const char* control;
  const char* valueName;
};

// Every setting in load order.
const Field kFields[] = {
    {"编辑框3", "验证用户"},
    {"编辑框4", "密码"},
    {"编辑框6", "收件人地址"},
    {"编辑框5", "APIKEY"},
    {"编辑框2", "队列路径"},
    {"编辑框7", "队列阀值"},
    {"编辑框12", "磁盘阀值"},
    {"编辑框8", "监控频率"},
    {"编辑框17", "端口监控_服务器地址"},
    {"编辑框18", "端口监控_监控端口"},
    {"编辑框19", "端口监控_监控频率"},
};

// Field texts that must survive byte for byte: Chinese, full-width signs and
// spaces, spaces at the ends, a long path with a trail byte of 0x5C (誠).
Text longPath() {
  Text path = "D:\\邮件系统";
  for (int i = 0; i < 40; ++i) path += "\\队列目录誠" + std::to_string(i);
  return path;
}

void fillFields(ui::MemoryWindow& w) {
  w.setText("编辑框3", " 管理员　张三 ");
  w.setText("编辑框4", "ｐａｓｓ＃１２３！　");
  w.setText("编辑框6", "admin@例子.cn;ops@example.com");
  w.setText("编辑框5", "KEY-未验证");
  w.setText("编辑框2", longPath());
  w.setText("编辑框7", "１００");
  w.setText("编辑框12", "10分钟");
  w.setText("编辑框8", "-5");
  w.setText("编辑框17", "mail.例子.cn");
  w.setText("编辑框18", "366");
  w.setText("编辑框19", "");
}

TEST(ConfigStore, FirstStartOnAnEmptyRegistryShowsTheDefaults) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  // Load writes every field, also over whatever they held.
  for (const Field& field : kFields) w.setText(field.control, "旧");
  ConfigStore::load(f.app);

  struct Expected {
    const char* control;
    Text text;
  };
  const Expected expected[] = {
      {"编辑框3", ""},           {"编辑框4", ""},    {"编辑框6", ""},   {"编辑框5", ""},
      {"编辑框2", "C:\\Users"},  {"编辑框7", "50"},  {"编辑框12", "5"}, {"编辑框8", "15"},
      {"编辑框17", "127.0.0.1"}, {"编辑框18", "25"}, {"编辑框19", ""},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(utf8(e.control));
    EXPECT_GBK_EQ(w.text(e.control), e.text);
  }
  EXPECT_EQ(f.registry.valueCount(), 0u);  // loading writes nothing
}

TEST(ConfigStore, StartUpLoadsTheStoredValues) {
  AppFixture f;
  f.registry.set(kKey, "队列路径", RegistryType::String, "E:\\队列");
  f.registry.set(kKey, "APIKEY", RegistryType::String, "已验证的KEY");
  ui::MemoryWindow& w = f.start();
  EXPECT_GBK_EQ(w.text("编辑框2"), "E:\\队列");
  EXPECT_GBK_EQ(w.text("编辑框5"), "已验证的KEY");
  EXPECT_GBK_EQ(w.text("编辑框7"), "50");
}

TEST(ConfigStore, StoredValueShapes) {
  struct Case {
    const char* what;
    RegistryType type;
    Text stored;
    Text loaded;
  };
  const Case cases[] = {
      {"string", RegistryType::String, "D:\\队列", "D:\\队列"},
      {"empty string, not the default", RegistryType::String, "", ""},
      {"expandable string", RegistryType::ExpandString, "%邮件目录%\\Queue", "D:\\邮件\\Queue"},
      {"another type", RegistryType::Other, "", "C:\\Users"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AppFixture f;
    f.registry.environment["邮件目录"] = "D:\\邮件";
    f.registry.set("software\\VANTREL", "队列路径", c.type, c.stored);  // names ignore case
    ui::MemoryWindow& w = f.start();
    EXPECT_GBK_EQ(w.text("编辑框2"), c.loaded);
  }
}

TEST(ConfigStore, PathIsSplitAtItsLastSingleByteBackslash) {
  struct Case {
    Text path, key, name;
  };
  const Case cases[] = {
      {"Software\\Vantrel\\队列数量", "Software\\Vantrel", "队列数量"},
      // 誠 is D5 5C: its second byte is not a separator.
      {"Software\\Vantrel\\誠", "Software\\Vantrel", "誠"},
      {"Software\\Vantrel\\端口\\誠誠", "Software\\Vantrel\\端口", "誠誠"},
      {"Software\\Vantrel\\", "Software\\Vantrel", ""},
      {"无键", "", "无键"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.path));
    AppFixture f;
    ConfigStore::writeText(f.app, c.path, "值");
    ASSERT_EQ(f.registry.writes.size(), 1u);
    EXPECT_GBK_EQ(f.registry.writes[0].key, c.key);
    EXPECT_GBK_EQ(f.registry.writes[0].name, c.name);
    EXPECT_GBK_EQ(ConfigStore::readText(f.app, c.path, "默认"), "值");
  }
}

TEST(ConfigStore, ReadTextGivesTheDefaultOnlyWhenNothingUsableIsStored) {
  AppFixture f;
  f.registry.set(kKey, "空", RegistryType::String, "");
  f.registry.set(kKey, "数字", RegistryType::Other, "");
  EXPECT_EQ(ConfigStore::readText(f.app, ConfigStore::readPath("空"), "默认"), "");
  EXPECT_GBK_EQ(ConfigStore::readText(f.app, ConfigStore::readPath("数字"), "默认"), "默认");
  EXPECT_GBK_EQ(ConfigStore::readText(f.app, ConfigStore::readPath("没有"), "默认"), "默认");
  EXPECT_GBK_EQ(ConfigStore::readText(f.app, "SOFTWARE\\别的键\\空", "默认"), "默认");
}

TEST(ConfigStore, SaveWritesTheTenSettingsInOrderButNotTheKey) {
  AppFixture f;
  f.registry.set(kKey, "队列数量", RegistryType::String, "77");
  ui::MemoryWindow& w = f.start();
  fillFields(w);
  ASSERT_TRUE(w.click("按钮_保存配置"));

  std::vector<Text> names;
  for (const MemoryRegistry::Write& write : f.registry.writes) {
    EXPECT_EQ(write.key, kKey);
    names.push_back(write.name);
  }
  const std::vector<Text> expected = {
      "验证用户", "密码",     "收件人地址",          "队列路径",          "队列阀值",
      "磁盘阀值", "监控频率", "端口监控_服务器地址", "端口监控_监控端口", "端口监控_监控频率"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(f.registry.raw(kKey, "APIKEY").type, RegistryType::Missing);
  EXPECT_EQ(f.registry.raw(kKey, "队列数量").text, "77");
  EXPECT_TRUE(f.desktop.messageBoxes().empty());

  // Unchanged fields are rewritten all the same.
  ASSERT_TRUE(w.click("按钮_保存配置"));
  EXPECT_EQ(f.registry.writes.size(), 20u);
}

TEST(ConfigStore, SavedFieldsComeBackByteForByteOnTheNextStart) {
  AppFixture first;
  ui::MemoryWindow& w1 = first.start();
  fillFields(w1);
  ASSERT_TRUE(w1.click("按钮_保存配置"));

  AppFixture second;
  second.registry = first.registry;
  ui::MemoryWindow& w2 = second.start();
  for (const Field& field : kFields) {
    SCOPED_TRACE(utf8(field.control));
    // The key typed but never verified is not kept.
    EXPECT_GBK_EQ(w2.text(field.control),
                  Text(field.control) == "编辑框5" ? Text() : w1.text(field.control));
  }
}

TEST(ConfigStore, SaveWithoutTheRightToWriteChangesNothingAndSaysNothing) {
  AppFixture f;
  f.registry.set(kKey, "队列路径", RegistryType::String, "E:\\旧");
  f.registry.refuseWrites = true;
  ui::MemoryWindow& w = f.start();
  fillFields(w);
  ASSERT_TRUE(w.click("按钮_保存配置"));
  EXPECT_EQ(f.registry.raw(kKey, "队列路径").text, "E:\\旧");
  EXPECT_EQ(f.registry.valueCount(), 1u);
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
}

// The export text written out piece by piece, label then value.
Text expectedExport(const std::vector<Text>& v) {
  return "验证用户：" + v[0] + "\r\n\r\n密码：" + v[1] + "\r\n\r\n收件人地址：" + v[2] +
         "\r\n\r\nAPIKEY：" + v[3] + "\r\n\r\n队列路径：" + v[4] + "\r\n\r\n队列阀值：" + v[5] +
         "\r\n\r\n磁盘阀值：" + v[6] + "\r\n\r\n监控频率：" + v[7] +
         "\r\n\r\n端口监控_服务器地址：" + v[8] + "\r\n\r\n端口监控_监控端口：" + v[9] +
         "\r\n\r\n端口监控_监控频率：" + v[10];
}

TEST(ConfigStore, ExportWritesTheFieldsAsTheyStandNow) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  fillFields(w);
  f.desktop.saveDialogAnswers.push_back(Text("D:\\导出\\设置.txt"));
  ASSERT_TRUE(w.click("菜单_导出配置"));

  const Text expected = expectedExport({" 管理员　张三 ", "ｐａｓｓ＃１２３！　",
                                        "admin@例子.cn;ops@example.com", "KEY-未验证", longPath(),
                                        "１００", "10分钟", "-5", "mail.例子.cn", "366", ""});
  EXPECT_GBK_EQ(w.text("编辑框9"), expected);
  ASSERT_EQ(f.files.files.count("D:\\导出\\设置.txt"), 1u);
  EXPECT_GBK_EQ(textFromBlob(f.files.files["D:\\导出\\设置.txt"]), expected);
  EXPECT_EQ(f.files.files["D:\\导出\\设置.txt"], blobFromText(expected));  // no BOM, no zero

  ASSERT_EQ(f.desktop.saveDialogs().size(), 1u);
  const ui::SaveDialogRecord& dialog = f.desktop.saveDialogs()[0];
  EXPECT_GBK_EQ(dialog.initialName, "Quenthor导出配置");
  EXPECT_EQ(dialog.filter, "*.txt");
  EXPECT_EQ(dialog.initialFolder, "C:\\");
  EXPECT_EQ(dialog.defaultExtension, "txt");
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
  EXPECT_TRUE(f.registry.writes.empty());
}

TEST(ConfigStore, ExportOfEmptyFieldsIsTheElevenLabels) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  for (const Field& field : kFields) w.setText(field.control, "");
  f.desktop.saveDialogAnswers.push_back(Text("C:\\a.txt"));
  ASSERT_TRUE(w.click("菜单_导出配置"));
  const Text expected =
      "验证用户：\r\n\r\n密码：\r\n\r\n收件人地址：\r\n\r\nAPIKEY：\r\n\r\n队列路径：\r\n\r\n"
      "队列阀值：\r\n\r\n磁盘阀值：\r\n\r\n监控频率：\r\n\r\n端口监控_服务器地址：\r\n\r\n"
      "端口监控_监控端口：\r\n\r\n端口监控_监控频率：";
  EXPECT_GBK_EQ(textFromBlob(f.files.files["C:\\a.txt"]), expected);
}

TEST(ConfigStore, CancelledExportWritesNothing) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  f.files.files["C:\\Quenthor导出配置.txt"] = blobFromText("旧内容");
  f.files.log.clear();
  const auto filesBefore = f.files.files;
  f.desktop.saveDialogAnswers.push_back(std::nullopt);
  ASSERT_TRUE(w.click("菜单_导出配置"));
  EXPECT_TRUE(f.files.log.empty());
  EXPECT_EQ(f.files.files, filesBefore);
  EXPECT_EQ(f.desktop.saveDialogs().size(), 1u);
  EXPECT_FALSE(w.text("编辑框9").empty());  // the text was prepared before the dialog
}

TEST(ConfigStore, FailedExportKeepsTheOldFileAndIsSilent) {
  AppFixture f;
  ui::MemoryWindow& w = f.start();
  const Text path = "C:\\只读\\设置.txt";
  f.files.files[path] = blobFromText("旧内容");
  f.files.uncreatable.insert(path);
  f.files.log.clear();
  f.desktop.saveDialogAnswers.push_back(path);
  ASSERT_TRUE(w.click("菜单_导出配置"));
  EXPECT_EQ(f.files.log, std::vector<Text>{"write " + path});
  EXPECT_EQ(f.files.files[path], blobFromText("旧内容"));
  EXPECT_TRUE(f.desktop.messageBoxes().empty());
}

}  // namespace
