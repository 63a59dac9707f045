"""Settings in the real registry and their export, on the real Quenthor.exe:
saved fields come back after a restart, an expandable value written by another
tool loads expanded, the export file holds exactly the expected GBK text, and a
cancelled export writes nothing."""

import os
import shutil
import tempfile

import quenthor_e2e as e2e

KEY = r"HKLM\Software\Vantrel"

# Field texts that must come back exactly: Chinese, full-width letters, signs
# and spaces, spaces at the ends, a long path.
LONG_PATH = "D:\\邮件系统\\" + "\\".join("队列目录%d" % i for i in range(30)) + "\\Ｑｕｅｕｅ"
FIELDS = {
    "编辑框3": " 管理员　张三 ",
    "编辑框4": "ｐａｓｓ＃１２３！　",
    "编辑框6": "admin@例子.cn;ops@example.com",
    "编辑框2": LONG_PATH,
    "编辑框7": "１００",
    "编辑框12": "10分钟",
    "编辑框8": "-5",
    "编辑框17": "mail.例子.cn",
    "编辑框18": "366",
    "编辑框19": "",
}
# Value names in the registry, by field.
VALUE_NAMES = {
    "编辑框3": "验证用户", "编辑框4": "密码", "编辑框6": "收件人地址", "编辑框5": "APIKEY",
    "编辑框2": "队列路径", "编辑框7": "队列阀值", "编辑框12": "磁盘阀值", "编辑框8": "监控频率",
    "编辑框17": "端口监控_服务器地址", "编辑框18": "端口监控_监控端口",
    "编辑框19": "端口监控_监控频率",
}
EXPORT_ORDER = ["编辑框3", "编辑框4", "编辑框6", "编辑框5", "编辑框2", "编辑框7", "编辑框12",
                "编辑框8", "编辑框17", "编辑框18", "编辑框19"]


def expected_export(texts):
    """The export text from field texts, written out label by label."""
    return ("验证用户：" + texts["编辑框3"] + "\r\n\r\n密码：" + texts["编辑框4"] +
            "\r\n\r\n收件人地址：" + texts["编辑框6"] + "\r\n\r\nAPIKEY：" + texts["编辑框5"] +
            "\r\n\r\n队列路径：" + texts["编辑框2"] + "\r\n\r\n队列阀值：" + texts["编辑框7"] +
            "\r\n\r\n磁盘阀值：" + texts["编辑框12"] + "\r\n\r\n监控频率：" + texts["编辑框8"] +
            "\r\n\r\n端口监控_服务器地址：" + texts["编辑框17"] +
            "\r\n\r\n端口监控_监控端口：" + texts["编辑框18"] +
            "\r\n\r\n端口监控_监控频率：" + texts["编辑框19"])


def read(path):
    with open(path, "rb") as f:
        return f.read()


def windows_path(unix_path):
    """The path as Wine's drive Z: shows it."""
    return "Z:" + unix_path.replace("/", "\\")


class ConfigStoreTest(e2e.QuenthorTestCase):
    def setUp(self):
        self.wine("reg", "delete", KEY, "/f")
        self.scratch = tempfile.mkdtemp(prefix="qt-config-")
        self.addCleanup(shutil.rmtree, self.scratch, True)
        self.addCleanup(self.wine, "reg", "delete", KEY, "/f")

    # --- helpers ---------------------------------------------------------------

    def set_fields(self, texts):
        for name, text in texts.items():
            self.session.driver("set", name, text)
            self.assertEqual(self.field(name), text, name)

    def stored_values(self):
        """The key's values as regedit exports them (UTF-16): name -> text."""
        out = os.path.join(self.scratch, "vantrel.reg")
        self.wine("regedit", "/e", windows_path(out), r"HKEY_LOCAL_MACHINE\Software\Vantrel")
        with open(out, "rb") as f:
            data = f.read().decode("utf-16")
        values = {}
        for line in data.splitlines():
            if line.startswith('"') and '"="' in line:
                name, _, text = line[1:-1].partition('"="')
                values[name] = text.replace('\\"', '"').replace("\\\\", "\\")
        return values

    def export_to(self, target):
        self.session.driver("menu", "导出配置")
        self.session.driver("savedialog", target, "20")

    # --- tests -----------------------------------------------------------------

    def test_saved_fields_come_back_byte_for_byte_after_a_restart(self):
        program = self.start()
        self.set_fields(FIELDS)
        self.session.driver("set", "编辑框5", "未验证的KEY")
        self.session.driver("click", "按钮_保存配置")
        # The registry holds each text as typed, under its Chinese value name.
        stored = e2e.poll(lambda: len(self.stored_values()) == 10 and self.stored_values())
        self.assertEqual(stored, {VALUE_NAMES[n]: t for n, t in FIELDS.items()})
        self.quit(program)

        program = self.start()
        for name, text in FIELDS.items():
            with self.subTest(name):
                self.assertEqual(self.field(name).encode("gbk"), text.encode("gbk"))
        self.assertEqual(self.field("编辑框5"), "")  # an unverified key is not kept
        self.quit(program)

    def test_values_written_by_another_tool(self):
        # Written while the program runs (its desktop closes when no program is
        # left on it), then read by the next start: an expandable path, a number
        # stored as REG_DWORD, a value saved empty.
        program = self.start()
        for args in (["/v", "队列路径", "/t", "REG_EXPAND_SZ", "/d", "%windir%\\队列\\%USERNAME%"],
                     ["/v", "队列阀值", "/t", "REG_DWORD", "/d", "7"],
                     ["/v", "监控频率", "/t", "REG_SZ", "/d", ""]):
            result = self.wine("reg", "add", KEY, *args, "/f")
            self.assertEqual(result.returncode, 0, result.stderr)
        windir = self.wine("cmd", "/c", "echo %windir%").stdout.decode().strip()
        user = self.wine("cmd", "/c", "echo %USERNAME%").stdout.decode().strip()
        self.assertTrue(windir and "%" not in windir and user and "%" not in user)
        self.quit(program)

        program = self.start()
        self.assertEqual(self.field("编辑框2"), windir + "\\队列\\" + user)
        self.assertEqual(self.field("编辑框7"), "50")  # another type: the default
        self.assertEqual(self.field("编辑框8"), "")    # empty, not the default
        self.assertEqual(self.field("编辑框12"), "5")  # missing: the default
        self.quit(program)

    def test_export_file_holds_exactly_the_expected_gbk_text(self):
        program = self.start()
        texts = dict(FIELDS, **{"编辑框5": "KEY-未验证"})
        self.set_fields(texts)
        target = os.path.join(self.scratch, "settings-export.txt")
        self.export_to(windows_path(target))

        expected = expected_export(texts)
        self.assertTrue(e2e.poll(lambda: os.path.exists(target)), "no export file")
        data = read(target)
        self.assertEqual(data.decode("gbk"), expected)  # decodes back to the very text
        self.assertEqual(data, expected.encode("gbk"))  # no byte-order mark, no zero byte
        self.assertEqual(self.field("编辑框9"), expected)
        self.assertEqual(os.listdir(self.scratch), ["settings-export.txt"])  # no temp file

        # Exporting again over the file replaces it whole.
        self.set_fields({"编辑框2": "E:\\短"})
        self.export_to(windows_path(target))
        self.session.driver("msgbox", "answer", "yes", "10", check=False)  # replace it?
        shorter = expected_export(dict(texts, **{"编辑框2": "E:\\短"})).encode("gbk")
        self.assertTrue(e2e.poll(lambda: read(target) == shorter), read(target).decode("gbk"))
        self.assertEqual(os.listdir(self.scratch), ["settings-export.txt"])
        self.quit(program)

    def test_cancelled_export_writes_nothing(self):
        program = self.start()
        drive_c = os.path.join(self.session.prefix, "drive_c")
        before = (sorted(os.listdir(drive_c)), sorted(os.listdir(self.scratch)))
        self.session.driver("menu", "导出配置")
        self.session.driver("savedialog", "cancel", "20")
        # The window takes input again once the dialog is gone.
        self.assertTrue(e2e.poll(lambda: self.session.driver("set", "编辑框3", "x",
                                                             check=False).returncode == 0))
        self.assertEqual((sorted(os.listdir(drive_c)), sorted(os.listdir(self.scratch))), before)
        self.assertTrue(self.field("编辑框9").startswith("验证用户："))
        self.quit(program)


if __name__ == "__main__":
    e2e.main()
