"""The 发信测试 button end to end under Wine: the real Quenthor.exe, the relay
account and recipients typed into its fields, a click on the button.

    testmail_e2e.py --exe Quenthor.exe --driver QuenthorDriver.exe --prefix PREFIX \\
                    --relay-port 36625

The test runs the relay of the test build itself (aiosmtpd through
tests/peers/smtp_server.py on --relay-port) so that it can stop it: with the
relay up the information box "测试邮件发送成功！" shows and the mail is on the
relay, parsed by Python's email package back to its exact GBK subject and
body; with the relay stopped the error box "测试邮件发送失败，请检查设置！" shows.
"""

import argparse
import importlib.util
import logging
import os
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import quenthor_e2e  # noqa: E402
from quenthor_e2e import QuenthorTestCase  # noqa: E402

_spec = importlib.util.spec_from_file_location(
    "smtp_server", os.path.join(HERE, "..", "peers", "smtp_server.py"))
smtp_server = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(smtp_server)

RELAY = {}  # the relay port of the build under test (command line)

USER, PASSWORD = "告警用户", "pass密码"  # the account smtp_server.py accepts
RECIPIENTS = "ops@example.com;值班 <duty@example.com>"
SUBJECT = "Quenthor发信测试"
BODY = "发信测试，收到此邮件即SMTP配置正确"
SENT = "测试邮件发送成功！"
FAILED = "测试邮件发送失败，请检查设置！"


def recorded(path):
    """The mails the relay received, as dicts of their record lines."""
    mails = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition(" ")
            if key == "message":
                mails.append({})
            if mails and key != "end":
                if key in ("rcpt", "to", "to_name"):
                    mails[-1].setdefault(key, []).append(value)
                else:
                    mails[-1][key] = value
    return mails


class TestMailButton(QuenthorTestCase):
    def setUp(self):
        handle, self.record = tempfile.mkstemp(prefix="quenthor-testmail-", suffix=".record")
        os.close(handle)
        self.relay = smtp_server.start("site", RELAY["port"], self.record, threading.Lock())

    def tearDown(self):
        if self.relay:
            self.relay.stop()
        os.remove(self.record)

    def click_and_read_box(self, app):
        s = self.session
        s.driver("click", "按钮_发信测试")
        box = s.driver("--pid", app.pid, "msgbox", "read", "60").stdout.splitlines()
        s.driver("--pid", app.pid, "msgbox", "answer", "ok")
        return box

    def test_box_and_mail_then_failure_with_the_relay_stopped(self):
        s = self.session
        app = s.start_quenthor()
        self.assertIsNotNone(app.wait_shown(60), "the main window did not show")
        for name, text in {"编辑框3": USER, "编辑框4": PASSWORD, "编辑框6": RECIPIENTS}.items():
            s.driver("set", name, text)

        box = self.click_and_read_box(app)
        self.assertIn("title 信息：", box)
        self.assertIn("text " + SENT, box)
        mails = recorded(self.record)
        self.assertEqual(len(mails), 1)
        m = mails[0]
        self.assertEqual(m.get("parse_error"), None)
        self.assertEqual(m["defects"], "0")
        self.assertEqual(m["greeting"], "EHLO")
        self.assertEqual(m["auth"], "LOGIN")
        self.assertEqual(m["login"], USER.encode("gbk").hex())
        self.assertEqual(m["rcpt"], ["ops@example.com", "duty@example.com"])
        self.assertEqual(m["charset"], "gb2312")
        self.assertEqual(m["transfer_encoding"], "base64")
        self.assertEqual(m["date_zone"], "1")
        self.assertLessEqual(int(m["max_header_line"]), 78)
        self.assertEqual(bytes.fromhex(m["subject"]), SUBJECT.encode("gbk"))
        self.assertEqual(bytes.fromhex(m["body"]), BODY.encode("gbk"))
        self.assertEqual(bytes.fromhex(m["body_text"]), BODY.encode("gbk"))

        self.relay.stop()
        self.relay = None
        box = self.click_and_read_box(app)
        self.assertIn("text " + FAILED, box)
        self.assertEqual(len(recorded(self.record)), 1)
        self.assertTrue(app.running())


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--relay-port", type=int, required=True)
    args, rest = parser.parse_known_args()
    RELAY["port"] = args.relay_port
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    sys.argv[1:] = rest
    quenthor_e2e.main()
