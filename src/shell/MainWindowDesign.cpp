#include "shell/MainWindowDesign.h"

namespace {

using ui::ControlDesign;
using ui::ControlKind;

constexpr int kLabelHeight = 18;
constexpr int kLabelGap = 3;  // between a label and its field

ControlDesign box(const char* name, const char* parent, int x, int y, int w, int h,
                  const char* caption) {
  return {ControlKind::GroupBox, name, parent, x, y, w, h, caption};
}

ControlDesign edit(const char* name, const char* parent, int x, int y, int w, int h,
                   const char* text, std::uint32_t flags = 0, int maxLength = 0) {
  return {ControlKind::Edit, name, parent, x, y, w, h, text, flags, maxLength};
}

ControlDesign button(const char* name, const char* parent, int x, int y, int w, int h,
                     const char* caption, std::uint32_t flags = 0) {
  return {ControlKind::Button, name, parent, x, y, w, h, caption, flags};
}

// A label from `left` up to just before the field, its text against the field,
// vertically centred on the field's line.
ControlDesign labelBefore(const char* name, const char* text, const ControlDesign& field,
                          int left) {
  return {ControlKind::Label,
          name,
          field.parent,
          left,
          field.y + (field.height - kLabelHeight) / 2,
          field.x - kLabelGap - left,
          kLabelHeight,
          text,
          ui::kAlignRight};
}

// A label that starts just after the field (a unit such as "分钟").
ControlDesign labelAfter(const char* name, const char* text, const ControlDesign& field,
                         int width) {
  return {ControlKind::Label,
          name,
          field.parent,
          field.x + field.width + kLabelGap,
          field.y + (field.height - kLabelHeight) / 2,
          width,
          kLabelHeight,
          text};
}

// A label at a fixed left edge on the field's line (the title of a row that
// has more labels before its field).
ControlDesign labelAt(const char* name, const char* text, const ControlDesign& field, int left,
                      int width) {
  return {ControlKind::Label,
          name,
          field.parent,
          left,
          field.y + (field.height - kLabelHeight) / 2,
          width,
          kLabelHeight,
          text};
}

ControlDesign timer(const char* name) { return {ControlKind::Timer, name, "", 0, 0, 0, 0, ""}; }

ControlDesign component(const char* name) {
  return {ControlKind::Invisible, name, "", 0, 0, 0, 0, ""};
}

constexpr std::uint32_t kNumber = ui::kDigitsOnly | ui::kCentred;

ui::WindowDesign build() {
  using ui::kCentred;
  using ui::kGrey;
  using ui::kHidden;
  using ui::kMultiLine;
  using ui::kReadOnly;
  using ui::kVerticalScroll;

  // Status box.
  const ControlDesign queueCount =
      edit("编辑框1", "", 84, 46, 79, 24, "", kReadOnly | kGrey | kCentred);
  const ControlDesign diskStatus =
      edit("编辑框11", "", 84, 77, 189, 140, "", kReadOnly | kGrey | kMultiLine | kVerticalScroll);
  ControlDesign diskLabel = labelBefore("标签_磁盘状态", "磁盘状态：", diskStatus, 16);
  diskLabel.y = diskStatus.y + 3;  // beside the first line of the several-line box

  // SMTP box.
  const ControlDesign relayUser = edit("编辑框3", "", 376, 42, 177, 25, "");
  const ControlDesign relayPassword = edit("编辑框4", "", 376, 75, 177, 25, "", ui::kPassword);
  const ControlDesign recipient = edit("编辑框6", "", 376, 106, 177, 25, "");

  // Queue path row (inside 分组框5).
  const ControlDesign queuePath = edit("编辑框2", "分组框5", 71, 13, 390, 25, "");

  // Queue and disk box.
  const ControlDesign queueThreshold = edit("编辑框7", "", 174, 319, 35, 25, "50", kNumber);
  const ControlDesign diskThreshold = edit("编辑框12", "", 174, 351, 35, 25, "5", kNumber);
  const ControlDesign frequency = edit("编辑框8", "", 101, 382, 35, 25, "15", kNumber);

  // Port box (inside 分组框1).
  const ControlDesign server = edit("编辑框17", "分组框1", 94, 20, 164, 25, "127.0.0.1");
  const ControlDesign port = edit("编辑框18", "分组框1", 94, 52, 35, 25, "25", kNumber);
  const ControlDesign portFrequency = edit("编辑框19", "分组框1", 110, 82, 35, 25, "", kNumber);
  ControlDesign portEvery = labelBefore("标签_端口每", "每", portFrequency, 93);

  ControlDesign mailSystem{
      ControlKind::ComboBox, "组合框1", "分组框5", 467, 15, 75, 25, "邮件系统"};
  mailSystem.items = {"Exchange", "Winmail", "MDaemon", "Umail", "Icewarp"};

  ControlDesign saveDialog{ControlKind::SaveFileDialog, "通用对话框保存", "", 0, 0, 0, 0,
                           "Quenthor导出配置"};

  ui::WindowDesign design{"主窗口", "Quenthor - by Pellucor v2.0",       50, 50, 582,
                          596,      ui::kFixedBorder | ui::kMinimiseBox, {}};
  design.controls = {
      // Boxes, outer before inner.
      box("分组框6", "", -2, 5, 580, 230, "状态/报警设置"),
      box("分组框2", "", 13, 25, 269, 200, "状态信息"),
      box("分组框3", "", 295, 25, 268, 113, "SMTP设置"),
      box("分组框8", "分组框6", 297, 139, 268, 81, "APIKEY(必填)"),
      box("分组框7", "", -2, 236, 580, 238, "监控设置"),
      box("分组框5", "", 13, 250, 550, 44, ""),
      box("分组框4", "", 13, 300, 269, 118, "队列与磁盘监控"),
      box("分组框1", "", 295, 300, 268, 118, "端口监控(可选)"),

      // 状态信息
      labelBefore("标签_当前队列", "当前队列：", queueCount, 16),
      queueCount,
      diskLabel,
      diskStatus,

      // SMTP设置
      labelBefore("标签_验证用户", "验证用户：", relayUser, 300),
      relayUser,
      labelBefore("标签_密码", "密码：", relayPassword, 300),
      relayPassword,
      labelBefore("标签_收件人地址", "收件人地址：", recipient, 300),
      recipient,

      // APIKEY(必填)
      edit("编辑框5", "分组框8", 10, 18, 248, 25, "", 0, 100),
      button("按钮验证", "分组框8", 128, 48, 60, 26, "验证"),
      button("按钮更改", "分组框8", 198, 48, 60, 26, "更改"),
      edit("编辑框13", "分组框8", 10, 48, 110, 26, "", kHidden),

      // Queue path and mail system
      labelBefore("标签_队列路径", "队列路径：", queuePath, 6),
      queuePath,
      mailSystem,

      // 队列与磁盘监控
      labelAt("标签_队列阀值", "队列阀值：", queueThreshold, 20, 62),
      labelBefore("标签_邮件队列数量", "邮件队列数量 >", queueThreshold, 84),
      queueThreshold,
      labelAfter("标签_则报警", "则报警", queueThreshold, 50),
      labelAt("标签_磁盘阀值", "磁盘阀值：", diskThreshold, 20, 62),
      labelBefore("标签_某盘可用容量", "某盘可用容量 <", diskThreshold, 84),
      diskThreshold,
      labelAfter("标签_G则报警", "G则报警", diskThreshold, 60),
      labelAt("标签_监控频率", "监控频率：", frequency, 20, 62),
      labelBefore("标签_每", "每", frequency, 84),
      frequency,
      labelAfter("标签_分钟", "分钟", frequency, 40),

      // 端口监控(可选)
      labelBefore("标签_服务器地址", "服务器地址：", server, 4),
      server,
      labelBefore("标签_监控SMTP端口", "监控SMTP端口：", port, 4),
      port,
      // Ends where the labels above end, so the three titles line up.
      ControlDesign{ControlKind::Label, "标签_端口监控频率", "分组框1", 4, portEvery.y,
                    portEvery.x - 4 - 2, kLabelHeight, "监控频率：", ui::kAlignRight},
      portEvery,
      portFrequency,
      labelAfter("标签_端口分钟", "分钟", portFrequency, 40),

      // Command buttons
      button("按钮_发信测试", "", 256, 427, 65, 35, "发信测试"),
      button("按钮_保存配置", "", 337, 427, 65, 35, "保存配置"),
      button("按钮_开始监控", "", 417, 427, 65, 35, "开始监控"),
      button("按钮_停止监控", "", 497, 427, 65, 35, "停止监控"),

      // Banner
      ControlDesign{ControlKind::PictureBox, "图片框1", "", -3, 473, 579, 80, "", ui::kHandCursor},

      // Never shown: scratch fields and the banner's buttons.
      edit("编辑框9", "", 13, 427, 100, 30, "", kHidden | kMultiLine),
      edit("编辑框10", "", 120, 427, 60, 25, "", kHidden),
      button("广告按钮1", "", 190, 430, 15, 15, "1", kHidden),
      button("广告按钮2", "", 210, 430, 15, 15, "2", kHidden),
      button("广告按钮3", "", 230, 430, 15, 15, "3", kHidden),

      // Without a face.
      timer("时钟1"),
      timer("时钟2"),
      timer("时钟3"),
      timer("时钟4"),
      timer("时钟5"),
      timer("新时钟1"),
      timer("新时钟2"),
      timer("新时钟3"),
      component("客户1"),
      component("超级菜单1"),
      saveDialog,
  };

  design.menus = {
      {"菜单_免费服务",
       "免费服务",
       {{"菜单_IP黑名单监测", "IP黑名单监测"}, {"菜单_远程技术支援", "远程技术支援"}}},
      {"菜单_免费工具",
       "免费工具",
       {{"菜单_Ping检测", "Ping检测"}, {"菜单_Tracert检测", "Tracert检测"}}},
      {"菜单_帮助",
       "帮助",
       {{"菜单_导出配置", "导出配置"},
        {"菜单_使用说明", "使用说明"},
        {"菜单_在线更新", "在线更新"},
        {"菜单_联系我们", "联系我们"}}},
      {"托盘菜单", "托盘菜单", {{"菜单_显示", "显示"}, {"菜单_退出", "退出"}}, false},
  };
  return design;
}

}  // namespace

const ui::WindowDesign& mainWindowDesign() {
  static const ui::WindowDesign design = build();
  return design;
}
