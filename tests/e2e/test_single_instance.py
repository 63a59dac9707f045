"""One running copy per machine: a second copy warns and ends with code 0,
while the first goes on."""

import quenthor_e2e as e2e

WARNING = "软件已经在运行中，为防止重复运行，本次运行将被终止！"


class SingleInstanceTest(e2e.QuenthorTestCase):
    def test_second_copy_warns_and_ends_while_the_first_goes_on(self):
        first = self.session.start_quenthor()
        self.assertIsNotNone(first.wait_shown(60))

        second = self.session.start_quenthor()
        box = self.session.driver("--pid", second.pid, "msgbox", "read", "30").stdout.splitlines()
        self.assertIn("title 信息：", box)
        self.assertIn("text " + WARNING, box)
        self.session.driver("--pid", second.pid, "msgbox", "answer", "ok")
        self.assertEqual(second.wait_exit(30), 0)
        self.assertIsNone(second.shown_ms)  # its window was never shown

        self.assertTrue(first.running())
        window, _, _ = self.session.controls(pid=first.pid)
        self.assertIn("visible", window["flags"])

        self.session.driver("tray-menu", "退出")
        self.assertEqual(first.wait_exit(30), 0)


if __name__ == "__main__":
    e2e.main()
