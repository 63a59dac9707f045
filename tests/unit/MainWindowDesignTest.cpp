// The main window's design table: every control in its place with its text and
// input flags, labels beside their fields, nothing overlapping, the menus in
// order. Both window layers draw this table.
#include "shell/MainWindowDesign.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "shell/ui/Window.h"
#include "support/GbkPrint.h"

namespace {

using ui::ControlDesign;
using ui::ControlKind;

const ControlDesign& control(const char* name) {
  static const ControlDesign none{ControlKind::Invisible, "", "", 0, 0, 0, 0, ""};
  const ControlDesign* c = ui::findControl(mainWindowDesign(), name);
  EXPECT_NE(c, nullptr) << utf8(name);
  return c ? *c : none;
}

// A control's place in window client coordinates.
ui::Rect absolute(const ControlDesign& c) {
  ui::Rect r{c.x, c.y, c.width, c.height};
  for (const char* parent = c.parent; *parent;) {
    const ControlDesign& p = control(parent);
    r.left += p.x;
    r.top += p.y;
    parent = p.parent;
  }
  return r;
}

bool inside(const ui::Rect& inner, const ui::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

bool hasFace(const ControlDesign& c) {
  return c.kind != ControlKind::Timer && c.kind != ControlKind::SaveFileDialog &&
         c.kind != ControlKind::Invisible && !(c.flags & ui::kHidden);
}

TEST(MainWindowDesignTest, Window) {
  const ui::WindowDesign& d = mainWindowDesign();
  EXPECT_GBK_EQ(d.title, "Quenthor - by Pellucor v2.0");
  EXPECT_EQ((ui::Rect{d.x, d.y, d.width, d.height}), (ui::Rect{50, 50, 582, 596}));
}

TEST(MainWindowDesignTest, EveryControlInItsPlace) {
  using enum ControlKind;
  constexpr std::uint32_t kNumber = ui::kDigitsOnly | ui::kCentred;
  const struct {
    ControlKind kind;
    const char* name;
    const char* parent;
    ui::Rect place;
    const char* text;
    std::uint32_t flags;  // these flags at least
  } cases[] = {
      {GroupBox, "分组框6", "", {-2, 5, 580, 230}, "状态/报警设置", 0},
      {GroupBox, "分组框8", "分组框6", {297, 139, 268, 81}, "APIKEY(必填)", 0},
      {GroupBox, "分组框2", "", {13, 25, 269, 200}, "状态信息", 0},
      {GroupBox, "分组框3", "", {295, 25, 268, 113}, "SMTP设置", 0},
      {GroupBox, "分组框7", "", {-2, 236, 580, 238}, "监控设置", 0},
      {GroupBox, "分组框5", "", {13, 250, 550, 44}, "", 0},
      {GroupBox, "分组框4", "", {13, 300, 269, 118}, "队列与磁盘监控", 0},
      {GroupBox, "分组框1", "", {295, 300, 268, 118}, "端口监控(可选)", 0},
      {Edit, "编辑框1", "", {84, 46, 79, 24}, "", ui::kReadOnly | ui::kGrey | ui::kCentred},
      {Edit, "编辑框11", "", {84, 77, 189, 140}, "", ui::kReadOnly | ui::kGrey | ui::kMultiLine},
      {Edit, "编辑框3", "", {376, 42, 177, 25}, "", 0},
      {Edit, "编辑框4", "", {376, 75, 177, 25}, "", ui::kPassword},
      {Edit, "编辑框6", "", {376, 106, 177, 25}, "", 0},
      {Edit, "编辑框5", "分组框8", {10, 18, 248, 25}, "", 0},
      {Edit, "编辑框2", "分组框5", {71, 13, 390, 25}, "", 0},
      {Edit, "编辑框7", "", {174, 319, 35, 25}, "50", kNumber},
      {Edit, "编辑框12", "", {174, 351, 35, 25}, "5", kNumber},
      {Edit, "编辑框8", "", {101, 382, 35, 25}, "15", kNumber},
      {Edit, "编辑框17", "分组框1", {94, 20, 164, 25}, "127.0.0.1", 0},
      {Edit, "编辑框18", "分组框1", {94, 52, 35, 25}, "25", kNumber},
      {Edit, "编辑框19", "分组框1", {110, 82, 35, 25}, "", kNumber},
      {ComboBox, "组合框1", "分组框5", {467, 15, 75, 25}, "邮件系统", 0},
      {Button, "按钮_发信测试", "", {256, 427, 65, 35}, "发信测试", 0},
      {Button, "按钮_保存配置", "", {337, 427, 65, 35}, "保存配置", 0},
      {Button, "按钮_开始监控", "", {417, 427, 65, 35}, "开始监控", 0},
      {Button, "按钮_停止监控", "", {497, 427, 65, 35}, "停止监控", 0},
      {Button, "按钮验证", "分组框8", {128, 48, 60, 26}, "验证", 0},
      {Button, "按钮更改", "分组框8", {198, 48, 60, 26}, "更改", 0},
      {PictureBox, "图片框1", "", {-3, 473, 579, 80}, "", ui::kHandCursor},
      {Edit, "编辑框9", "", {}, "", ui::kHidden | ui::kMultiLine},
      {Edit, "编辑框10", "", {}, "", ui::kHidden},
      {Edit, "编辑框13", "分组框8", {}, "", ui::kHidden},
      {Button, "广告按钮1", "", {}, "1", ui::kHidden},
      {Button, "广告按钮2", "", {}, "2", ui::kHidden},
      {Button, "广告按钮3", "", {}, "3", ui::kHidden},
      {Timer, "时钟1", "", {}, "", 0},
      {Timer, "时钟2", "", {}, "", 0},
      {Timer, "时钟3", "", {}, "", 0},
      {Timer, "时钟4", "", {}, "", 0},
      {Timer, "时钟5", "", {}, "", 0},
      {Timer, "新时钟1", "", {}, "", 0},
      {Timer, "新时钟2", "", {}, "", 0},
      {Timer, "新时钟3", "", {}, "", 0},
      {Invisible, "客户1", "", {}, "", 0},
      {Invisible, "超级菜单1", "", {}, "", 0},
      {SaveFileDialog, "通用对话框保存", "", {}, "Quenthor导出配置", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(utf8(c.name));
    const ControlDesign& d = control(c.name);
    EXPECT_EQ(d.kind, c.kind);
    EXPECT_GBK_EQ(d.parent, c.parent);
    EXPECT_GBK_EQ(d.text, c.text);
    EXPECT_EQ(d.flags & c.flags, c.flags);
    if (c.place.width > 0) {
      EXPECT_EQ((ui::Rect{d.x, d.y, d.width, d.height}), c.place);
    }
  }
  for (const char* name : {"广告按钮1", "广告按钮2", "广告按钮3"}) {
    EXPECT_EQ(control(name).width, 15) << utf8(name);
    EXPECT_EQ(control(name).height, 15) << utf8(name);
  }
  EXPECT_EQ(control("编辑框5").maxLength, 100);
  EXPECT_FALSE(control("编辑框3").flags & (ui::kReadOnly | ui::kGrey | ui::kDigitsOnly));

  const ControlDesign& combo = control("组合框1");
  std::vector<std::string> items(combo.items.begin(), combo.items.end());
  EXPECT_EQ(items,
            (std::vector<std::string>{"Exchange", "Winmail", "MDaemon", "Umail", "Icewarp"}));

  const ui::SaveDialogDesign& dialog = control("通用对话框保存").dialog;
  EXPECT_GBK_EQ(dialog.filter, "*.txt");
  EXPECT_GBK_EQ(dialog.initialFolder, "C:\\");
  EXPECT_GBK_EQ(dialog.defaultExtension, "txt");
}

// Each field's labels, in reading order: those before the field end just left
// of it, those after start just right of it, all centred on the field's line
// (beside the first line of a several-line box) and inside the field's box.
TEST(MainWindowDesignTest, LabelsBesideTheirFields) {
  const struct {
    const char* field;
    const char* box;
    std::vector<std::pair<const char*, const char*>> before, after;  // name, text
  } cases[] = {
      {"编辑框1", "分组框2", {{"标签_当前队列", "当前队列："}}, {}},
      {"编辑框11", "分组框2", {{"标签_磁盘状态", "磁盘状态："}}, {}},
      {"编辑框3", "分组框3", {{"标签_验证用户", "验证用户："}}, {}},
      {"编辑框4", "分组框3", {{"标签_密码", "密码："}}, {}},
      {"编辑框6", "分组框3", {{"标签_收件人地址", "收件人地址："}}, {}},
      {"编辑框2", "分组框5", {{"标签_队列路径", "队列路径："}}, {}},
      {"编辑框7",
       "分组框4",
       {{"标签_队列阀值", "队列阀值："}, {"标签_邮件队列数量", "邮件队列数量 >"}},
       {{"标签_则报警", "则报警"}}},
      {"编辑框12",
       "分组框4",
       {{"标签_磁盘阀值", "磁盘阀值："}, {"标签_某盘可用容量", "某盘可用容量 <"}},
       {{"标签_G则报警", "G则报警"}}},
      {"编辑框8",
       "分组框4",
       {{"标签_监控频率", "监控频率："}, {"标签_每", "每"}},
       {{"标签_分钟", "分钟"}}},
      {"编辑框17", "分组框1", {{"标签_服务器地址", "服务器地址："}}, {}},
      {"编辑框18", "分组框1", {{"标签_监控SMTP端口", "监控SMTP端口："}}, {}},
      {"编辑框19",
       "分组框1",
       {{"标签_端口监控频率", "监控频率："}, {"标签_端口每", "每"}},
       {{"标签_端口分钟", "分钟"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(utf8(c.field));
    const ui::Rect field = absolute(control(c.field));
    const ui::Rect box = absolute(control(c.box));
    const bool severalLines = control(c.field).flags & ui::kMultiLine;
    auto checkLine = [&](const ui::Rect& label) {
      EXPECT_TRUE(inside(label, box));
      if (severalLines) {
        EXPECT_LE(std::abs(label.top - field.top), 4);
      } else {
        EXPECT_LE(std::abs((2 * label.top + label.height) - (2 * field.top + field.height)), 1);
      }
    };
    int right = field.left;  // labels before the field, right to left
    for (auto it = c.before.rbegin(); it != c.before.rend(); ++it) {
      SCOPED_TRACE(utf8(it->first));
      const ControlDesign& d = control(it->first);
      EXPECT_EQ(d.kind, ControlKind::Label);
      EXPECT_GBK_EQ(d.text, it->second);
      const ui::Rect label = absolute(d);
      EXPECT_LE(label.left + label.width, right);
      EXPECT_GE(label.left + label.width, right - 6);
      checkLine(label);
      right = label.left;
    }
    int left = field.left + field.width;
    for (const auto& [name, text] : c.after) {
      SCOPED_TRACE(utf8(name));
      const ControlDesign& d = control(name);
      EXPECT_EQ(d.kind, ControlKind::Label);
      EXPECT_GBK_EQ(d.text, text);
      const ui::Rect label = absolute(d);
      EXPECT_GE(label.left, left);
      EXPECT_LE(label.left, left + 6);
      checkLine(label);
      left = label.left + label.width;
    }
  }
}

// Group boxes frame other controls by design; everything else with a face
// must have room of its own and fit the client area (576 x 553).
TEST(MainWindowDesignTest, NothingOverlapsAndEverythingFits) {
  const ui::WindowDesign& d = mainWindowDesign();
  std::vector<const ControlDesign*> faces;
  for (const ControlDesign& c : d.controls)
    if (hasFace(c) && c.kind != ControlKind::GroupBox) faces.push_back(&c);
  for (std::size_t i = 0; i < faces.size(); ++i) {
    const ui::Rect a = absolute(*faces[i]);
    EXPECT_TRUE(inside(a, ui::Rect{-3, 0, 582, 553})) << utf8(faces[i]->name);
    for (std::size_t j = i + 1; j < faces.size(); ++j)
      EXPECT_FALSE(overlap(a, absolute(*faces[j])))
          << utf8(faces[i]->name) << " and " << utf8(faces[j]->name);
  }
}

TEST(MainWindowDesignTest, NamesAreUnique) {
  const ui::WindowDesign& d = mainWindowDesign();
  std::set<std::string> names;
  for (const ControlDesign& c : d.controls)
    EXPECT_TRUE(names.insert(c.name).second) << utf8(c.name);
  for (const ui::MenuItemDesign& m : d.menus) {
    EXPECT_TRUE(names.insert(m.name).second) << utf8(m.name);
    for (const ui::MenuItemDesign& item : m.items)
      EXPECT_TRUE(names.insert(item.name).second) << utf8(item.name);
  }
}

TEST(MainWindowDesignTest, MenusInOrder) {
  std::vector<Text> menus;
  for (const ui::MenuItemDesign& m : mainWindowDesign().menus) {
    Text line = Text(m.inMenuBar ? "" : "(popup) ") + m.caption + ":";
    for (const ui::MenuItemDesign& item : m.items) line += Text(" ") + item.caption;
    menus.push_back(line);
  }
  const std::vector<Text> expected = {
      "免费服务: IP黑名单监测 远程技术支援",
      "免费工具: Ping检测 Tracert检测",
      "帮助: 导出配置 使用说明 在线更新 联系我们",
      "(popup) 托盘菜单: 显示 退出",
  };
  ASSERT_EQ(menus.size(), expected.size());
  for (std::size_t i = 0; i < menus.size(); ++i) EXPECT_GBK_EQ(menus[i], expected[i]);
}

}  // namespace
