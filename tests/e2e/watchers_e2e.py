"""The three watchers end to end under Wine: the real Quenthor.exe, started
with monitoring fields that make each watcher alarm at its first pass, one
minute after Start. Run inside tests/peers/smtp_server.py (the relay of the
test build on --site-port 36625) and tests/peers/http_peer.py (the alert
service on 36680):

    smtp_server.py --site-port 36625 --record REC -- http_peer.py --port 36680 -- \\
        watchers_e2e.py --exe Quenthor.exe --driver QuenthorDriver.exe --prefix PREFIX \\
                        --hotline H --web-address W

- queue: a directory of 51 files under a threshold of 50;
- disk: a threshold of 999999 GB, so every listed drive is below it;
- port: a loopback port on which nothing listens.
Each alarm must reach the relay with its exact subject and a body that Python's
email package decodes to the exact text, and post its notification.
"""

import argparse
import os
import shutil
import socket
import sys
import tempfile
import time
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quenthor_e2e  # noqa: E402
from quenthor_e2e import MAIN_TITLE, QuenthorTestCase, poll  # noqa: E402

SITE = {}  # hotline and web address of the build under test (command line)

KEY = "E2EKEY42"
USER, PASSWORD = "告警用户", "pass密码"  # the account tests/peers/smtp_server.py accepts
RECIPIENT = "admin@example.com"
THRESHOLD_GB = 999999


def local_address():
    """The first IPv4 address of the host name, as the program looks it up."""
    try:
        return socket.getaddrinfo(socket.gethostname(), None, socket.AF_INET)[0][4][0]
    except OSError:
        return ""


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def relay_messages():
    """The messages the site relay received, as dicts of their record lines."""
    messages, current = [], None
    with open(os.environ["QUENTHOR_SMTP_RECORD"], encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition(" ")
            if key == "message":
                current = {"server": value, "rcpt": []}
            elif key == "end" and current is not None:
                messages.append(current)
                current = None
            elif current is not None:
                if key == "rcpt":
                    current["rcpt"].append(value)
                else:
                    current[key] = value
    return [m for m in messages if m["server"] == "site"]


def notifications():
    """The bodies posted to the alert service, as text."""
    port = os.environ["QUENTHOR_HTTP_PEER"]
    log = urllib.request.urlopen(f"http://127.0.0.1:{port}/log", timeout=10).read().decode()
    bodies = []
    for line in log.splitlines():
        key, _, value = line.partition(" ")
        if key == "body":
            bodies.append("" if value == "-" else bytes.fromhex(value).decode("gbk"))
    return bodies


def queue_body(count, threshold):
    return ("您邮件服务器（" + local_address() + "）队列数量为（" + str(count) +
            "），已超过阀值（" + str(threshold) + "）；请尽快检查处理！\r\n\r\n"
            "造成邮件队列堆积/堵塞的可能原因：\r\n"
            "　　1、邮件服务器网络问题，导致邮件投递失败\r\n"
            "　　2、邮箱帐号密码被黑客盗用，发送大量垃圾/诈骗邮件\r\n"
            "　　3、邮件服务器安全性较低，外发无需验证，被黑客当作中继服务器发送垃圾邮件\r\n"
            "　　4、邮件服务器自身服务出现故障\r\n\r\n"
            "联系Pellucor：\r\n"
            "　　服务热线：" + SITE["hotline"] + "\r\n　　公司网址：" + SITE["web_address"])


class WatcherAlarms(QuenthorTestCase):
    def setUp(self):
        self.queue = tempfile.mkdtemp(prefix="quenthor-e2e-queue-")
        for i in range(51):
            open(os.path.join(self.queue, "%02d.eml" % i), "wb").close()
        os.mkdir(os.path.join(self.queue, "sub"))  # not counted

    def tearDown(self):
        shutil.rmtree(self.queue, ignore_errors=True)

    def test_each_watcher_alarms_with_its_exact_mail(self):
        s = self.session
        app = s.start_quenthor()
        self.assertIsNotNone(app.wait_shown(60), "the main window did not show")
        port = closed_port()
        fields = {
            "编辑框2": "Z:" + self.queue.replace("/", "\\"),
            "编辑框3": USER, "编辑框4": PASSWORD, "编辑框6": RECIPIENT, "编辑框5": KEY,
            "编辑框7": "50", "编辑框8": "1", "编辑框12": str(THRESHOLD_GB),
            "编辑框17": "127.0.0.1", "编辑框18": str(port), "编辑框19": "1",
        }
        for name, text in fields.items():
            s.driver("set", name, text)
        s.driver("click", "按钮_开始监控")
        started = time.monotonic()

        # The first passes come one minute after Start; each alarm blocks the
        # window until the relay and the alert service have answered.
        messages = poll(lambda: len(relay_messages()) >= 3 and relay_messages(), timeout=150)
        self.assertTrue(messages, "fewer than three alarm mails: %r" % relay_messages())
        self.assertGreaterEqual(time.monotonic() - started, 55)
        by_subject = {bytes.fromhex(m["subject"]).decode("gbk"): m for m in messages}

        _, controls, _ = s.controls()
        self.assertEqual(controls["编辑框1"]["text"], "51")
        status = controls["编辑框11"]["text"]
        self.assertTrue(status.startswith("磁盘总数为： "), status)
        self.assertIn("[C盘] 可用容量为：", status)

        expected = {
            "★警告：邮件队列数量出现异常堆积★": queue_body(51, 50),
            "★警告：磁盘可用容量已少于设定阀值★":
                "服务器（" + local_address() + "）磁盘可用容量已少于设定阀值（" +
                str(THRESHOLD_GB) + "G），请尽快检查处理！\r\n\r\n" + status,
            "★警告：服务器（127.0.0.1）%d端口连接失败★" % port:
                "服务器（127.0.0.1）%d端口连接失败，请尽快检查处理！" % port,
        }
        self.assertEqual(sorted(by_subject), sorted(expected))
        for subject, body in expected.items():
            m = by_subject[subject]
            with self.subTest(subject=subject):
                self.assertEqual(m.get("parse_error"), None)
                self.assertEqual(m["defects"], "0")
                self.assertEqual(m["charset"], "gb2312")
                self.assertEqual(m["auth"], "LOGIN")
                self.assertEqual(m["rcpt"], [RECIPIENT])
                self.assertEqual(bytes.fromhex(m["body"]), body.encode("gbk"))

        self.assertEqual(
            sorted(poll(lambda: len(notifications()) >= 3 and notifications(), timeout=30) or []),
            sorted(["APIKEY=%s&TYPE=002&COUNT=51" % KEY,
                    "APIKEY=%s&TYPE=004&COUNT=%d" % (KEY, THRESHOLD_GB),
                    "APIKEY=%s&TYPE=003" % KEY]))

        # The back-offs: queue handed to 时钟2, disk and port wait for hours.
        time.sleep(2)
        self.assertEqual(len(relay_messages()), 3)
        if os.environ.get("QUENTHOR_E2E_SHOT"):
            s.screenshot(os.environ["QUENTHOR_E2E_SHOT"])


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--hotline", required=True)
    parser.add_argument("--web-address", required=True)
    args, rest = parser.parse_known_args()
    SITE.update(hotline=args.hotline, web_address=args.web_address)
    sys.argv[1:] = rest
    quenthor_e2e.main()
