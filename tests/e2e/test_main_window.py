"""The real main window under Wine: every control at its place with its
label, the menus, and keyboard input reaching the fields and the menu bar."""

import quenthor_e2e as e2e
from quenthor_e2e import MAIN_TITLE

# Places in the window's client area: a box's place added to its contents'.
BOXES = {
    "分组框6": ("状态/报警设置", (-2, 5, 580, 230)),
    "分组框8": ("APIKEY(必填)", (295, 144, 268, 81)),
    "分组框2": ("状态信息", (13, 25, 269, 200)),
    "分组框3": ("SMTP设置", (295, 25, 268, 113)),
    "分组框7": ("监控设置", (-2, 236, 580, 238)),
    "分组框5": ("", (13, 250, 550, 44)),
    "分组框4": ("队列与磁盘监控", (13, 300, 269, 118)),
    "分组框1": ("端口监控(可选)", (295, 300, 268, 118)),
}

# Field: labels beside it, place, flags it must have.
FIELDS = {
    "编辑框1": (["当前队列："], (84, 46, 79, 24), {"readonly", "centred"}),
    "编辑框11": (["磁盘状态："], (84, 77, 189, 140), {"readonly", "multiline"}),
    "编辑框3": (["验证用户："], (376, 42, 177, 25), set()),
    "编辑框4": (["密码："], (376, 75, 177, 25), {"password"}),
    "编辑框6": (["收件人地址："], (376, 106, 177, 25), set()),
    "编辑框5": ([], (305, 162, 248, 25), {"max=100"}),
    "编辑框2": (["队列路径："], (84, 263, 390, 25), set()),
    "编辑框7": (["队列阀值：", "邮件队列数量 >", "则报警"], (174, 319, 35, 25), {"centred"}),
    "编辑框12": (["磁盘阀值：", "某盘可用容量 <", "G则报警"], (174, 351, 35, 25), {"centred"}),
    "编辑框8": (["监控频率：", "每", "分钟"], (101, 382, 35, 25), {"centred"}),
    "编辑框17": (["服务器地址："], (389, 320, 164, 25), set()),
    "编辑框18": (["监控SMTP端口："], (389, 352, 35, 25), {"centred"}),
    "编辑框19": (["监控频率：", "每", "分钟"], (405, 382, 35, 25), {"centred"}),
    "组合框1": ([], (480, 265, 75, 25), set()),
}

BUTTONS = {
    "按钮_发信测试": ("发信测试", (256, 427, 65, 35)),
    "按钮_保存配置": ("保存配置", (337, 427, 65, 35)),
    "按钮_开始监控": ("开始监控", (417, 427, 65, 35)),
    "按钮_停止监控": ("停止监控", (497, 427, 65, 35)),
    "按钮验证": ("验证", (423, 192, 60, 26)),
    "按钮更改": ("更改", (493, 192, 60, 26)),
}

HIDDEN = ["编辑框9", "编辑框10", "编辑框13", "广告按钮1", "广告按钮2", "广告按钮3"]

MENUS = [
    ("bar", "免费服务", ["IP黑名单监测", "远程技术支援"]),
    ("bar", "免费工具", ["Ping检测", "Tracert检测"]),
    ("bar", "帮助", ["导出配置", "使用说明", "在线更新", "联系我们"]),
    ("popup", "托盘菜单", ["显示", "退出"]),
]


def overlaps(a, b):
    return (a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and
            a[1] < b[1] + b[3] and b[1] < a[1] + a[3])


class MainWindowTest(e2e.QuenthorTestCase):
    @classmethod
    def setUpClass(cls):
        cls.app = cls.session.start_quenthor()
        cls.shown_ms = cls.app.wait_shown(60)
        print("start-up to a shown window: %s ms" % cls.shown_ms)

    @classmethod
    def tearDownClass(cls):
        cls.session.driver("tray-menu", "退出", check=False)
        cls.app.wait_exit(30)

    def setUp(self):
        self.assertIsNotNone(self.shown_ms, "the main window did not show")
        self.window, self.controls, self.menus = self.session.controls()

    def control(self, name):
        self.assertIn(name, self.controls)
        return self.controls[name]

    def test_window_has_its_title_and_the_client_area_of_the_design(self):
        self.assertEqual(self.window["title"], MAIN_TITLE)
        self.assertIn("visible", self.window["flags"])
        self.assertEqual(self.window["rect"][:2], (50, 50))
        # The banner ends exactly at the bottom of the client area.
        self.assertEqual(self.window["client"], (576, 553))
        self.assertEqual(self.control("图片框1")["rect"], (-3, 473, 579, 80))

    def test_boxes_buttons_and_fields_are_at_their_places(self):
        for name, (caption, rect) in BOXES.items():
            with self.subTest(name):
                self.assertEqual(self.control(name)["kind"], "groupbox")
                self.assertEqual(self.control(name)["text"], caption)
                self.assertEqual(self.control(name)["rect"], rect)
        for name, (caption, rect) in BUTTONS.items():
            with self.subTest(name):
                self.assertEqual(self.control(name)["text"], caption)
                self.assertEqual(self.control(name)["rect"], rect)
        for name, (_, rect, flags) in FIELDS.items():
            with self.subTest(name):
                c = self.control(name)
                self.assertEqual(c["rect"], rect)
                self.assertIn("visible", c["flags"])
                self.assertTrue(flags <= set(c["flags"]), c["flags"])
        for name in HIDDEN:
            self.assertIn("hidden", self.control(name)["flags"])
        self.assertEqual(self.control("组合框1")["text"], "邮件系统")
        self.assertTrue(self.control("编辑框1")["text"].isdigit())  # the first queue count
        # The key field sits in its box.
        box, key = BOXES["分组框8"][1], self.control("编辑框5")["rect"]
        self.assertTrue(box[0] < key[0] and key[0] + key[2] < box[0] + box[2])

    def test_every_label_is_beside_its_field(self):
        labels = [c for c in self.controls.values()
                  if c["kind"] == "label" and "visible" in c["flags"]]
        for name, (texts, _, _) in FIELDS.items():
            field = self.control(name)["rect"]
            for text in texts:
                with self.subTest(field=name, label=text):
                    beside = []
                    for label in labels:
                        x, y, w, h = label["rect"]
                        same_line = field[1] <= y + h / 2 <= field[1] + field[3]
                        before = x + w <= field[0] + 1 and field[0] - (x + w) < 120
                        after = x >= field[0] + field[2] - 1 and x - (field[0] + field[2]) < 10
                        if label["text"] == text and same_line and (before or after):
                            beside.append(label)
                    self.assertTrue(beside, "no label %r beside %s" % (text, name))

    def test_nothing_overlaps_and_nothing_leaves_the_window(self):
        shown = [c for c in self.controls.values()
                 if "visible" in c["flags"] and c["kind"] != "groupbox"]
        for i, a in enumerate(shown):
            for b in shown[i + 1:]:
                self.assertFalse(overlaps(a["rect"], b["rect"]),
                                 "%s overlaps %s" % (a["name"], b["name"]))
        width, height = self.window["client"]
        for c in self.controls.values():
            x, y, w, h = c["rect"]
            # The two outer boxes and the banner reach 3 pixels past the edges, as designed.
            self.assertTrue(x >= -3 and y >= 0 and x + w <= width + 3 and y + h <= height,
                            "%s leaves the client area: %s" % (c["name"], c["rect"]))

    def test_menus_in_their_order(self):
        got = [(m["kind"], m["caption"], [caption for _, caption in m["items"]])
               for m in self.menus]
        self.assertEqual(got, MENUS)

    def test_digit_fields_refuse_letters_typed_into_them(self):
        self.session.driver("set", "编辑框19", "")
        self.session.driver("type", "编辑框19", "a1-b2。")
        self.assertEqual(self.session.driver("get", "编辑框19").stdout.strip(), "1-2")
        self.session.driver("type", "编辑框3", "user中1")
        self.assertEqual(self.session.driver("get", "编辑框3").stdout.strip(), "user中1")

    def test_menu_bar_item_is_reached_by_keyboard(self):
        # 帮助 / 导出配置 opens the save dialog of the settings export.
        self.session.driver("menu", "导出配置")
        self.session.driver("--pid", self.app.pid, "savedialog", "cancel", "20")
        self.assertTrue(e2e.poll(lambda: "enabled" in self.session.controls()[0]["flags"]))


if __name__ == "__main__":
    e2e.main()
