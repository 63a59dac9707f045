"""Closing or minimising hides the window into the notification area, the
process goes on, the tray icon brings the window back, and "退出" from the
tray menu ends the process with code 0."""

import quenthor_e2e as e2e
from quenthor_e2e import MAIN_TITLE


class TrayTest(e2e.QuenthorTestCase):
    def visible(self):
        return "visible" in self.session.controls()[0]["flags"]

    def test_close_hides_the_tray_brings_it_back_and_exit_ends_it(self):
        app = self.session.start_quenthor()
        self.assertIsNotNone(app.wait_shown(60))
        driver = self.session.driver

        driver("close")
        driver("wait-hidden", MAIN_TITLE, "20")
        self.assertTrue(app.running())
        self.assertFalse(self.visible())

        # A left click shows it restored and centred on the screen.
        driver("tray", "1")
        driver("wait-window", MAIN_TITLE, "20")
        window = self.session.controls()[0]
        self.assertIn("state=0", window["flags"])
        x, y, w, h = window["rect"]
        self.assertLessEqual(abs((x + w / 2) - 640), 2)

        # A second left click hides it again, without minimising.
        driver("tray", "1")
        driver("wait-hidden", MAIN_TITLE, "20")
        self.assertIn("state=0", self.session.controls()[0]["flags"])

        driver("tray-menu", "显示")
        driver("wait-window", MAIN_TITLE, "20")

        # The title bar's minimise button hides it too.
        driver("minimise")
        driver("wait-hidden", MAIN_TITLE, "20")
        self.assertTrue(app.running())

        driver("tray-menu", "退出")
        self.assertEqual(app.wait_exit(30), 0)


if __name__ == "__main__":
    e2e.main()
