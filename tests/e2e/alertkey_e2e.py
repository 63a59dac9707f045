"""The APIKEY field end to end under Wine: the real Quenthor.exe verifies a key
with the alert service of the test build, stores it, shows it locked after a
restart and unlocks the field on 更改; the other replies and a closed service
leave everything as it was. Run inside tests/peers/http_peer.py:

    http_peer.py --port 36680 -- alertkey_e2e.py --exe Quenthor.exe \\
        --driver QuenthorDriver.exe --prefix PREFIX --alert-url URL
"""

import argparse
import os
import shutil
import sys
import tempfile
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quenthor_e2e as e2e  # noqa: E402

ALERT_URL = []  # the alert service address of the build under test (command line)
REG_KEY = r"HKLM\Software\Vantrel"

# Chinese, "&" and "=" that must go out unencoded, a space, and 嘰 whose GBK
# trail byte is 0x5C (a backslash).
KEY = "告警密钥&KEY=嘰值 a1"
KEY_FIELD, VERIFY, CHANGE, REPLY_FIELD = "编辑框5", "按钮验证", "按钮更改", "编辑框13"
BOX_TITLE = "信息："
OK_TEXT = "APIKEY与手机号验证成功，请检查是否收到测试短信。"
UNVERIFIED = {"key": "", "readonly": False, "verify": "验证", "verify_enabled": True}

# Replies that store nothing and lock nothing, with the message they give.
# None as reply: the service port is closed.
NO_EFFECT = [
    (b"ERROR_APIKEY", "APIKEY在系统中没有找到，请确认输入的APIKEY是否正确！"),
    (b"ERROR_NOT_Found_MP", "APIKEY正确，但手机没有在日志系统中通过短信/语音验证！"),
    (b"ERROR_POST", "APIKEY为空或大小写不一致！"),
    (b"OK\r\n", None),
    (b"ok", None),
    (None, None),
]

# The peer's control port, reached directly whatever proxy the environment names.
_control = urllib.request.build_opener(urllib.request.ProxyHandler({}))


def peer(path, body=b"", method="POST"):
    url = "http://127.0.0.1:%s%s" % (os.environ["QUENTHOR_HTTP_PEER"], path)
    request = urllib.request.Request(url, data=body if method == "POST" else None, method=method)
    return _control.open(request, timeout=10).read()


def set_reply(body):
    path = urllib.parse.urlsplit(ALERT_URL[0]).path.encode("latin-1")
    peer("/reply?path=" + path.hex(), body)


def recorded_requests():
    """The requests the peer received: dicts of request line, headers in order
    and body, all bytes."""
    requests, current = [], None
    for line in peer("/log", method="GET").decode("ascii").splitlines():
        fields = [bytes.fromhex(f) if f != "-" else b"" for f in line.split(" ")[1:]]
        kind = line.split(" ")[0]
        if kind == "request":
            current = {"line": fields[0], "headers": [], "body": b""}
        elif kind == "header":
            current["headers"].append((fields[0], fields[1]))
        elif kind == "body":
            current["body"] = fields[0]
        elif kind == "end":
            requests.append(current)
    return requests


def windows_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


class AlertKeyTest(e2e.QuenthorTestCase):
    def setUp(self):
        self.wine("reg", "delete", REG_KEY, "/f")
        self.addCleanup(self.wine, "reg", "delete", REG_KEY, "/f")
        peer("/open")
        peer("/clear")
        self.scratch = tempfile.mkdtemp(prefix="qt-alertkey-")
        self.addCleanup(shutil.rmtree, self.scratch, True)

    # --- helpers ---------------------------------------------------------------

    def key_state(self):
        _, controls, _ = self.session.controls()
        field, verify = controls[KEY_FIELD], controls[VERIFY]
        return {"key": field["text"], "readonly": "readonly" in field["flags"],
                "verify": verify["text"], "verify_enabled": "enabled" in verify["flags"]}

    def stored_key(self):
        """The registry value APIKEY as regedit exports it, or None."""
        out = os.path.join(self.scratch, "vantrel.reg")
        if os.path.exists(out):
            os.remove(out)
        self.wine("regedit", "/e", windows_path(out), r"HKEY_LOCAL_MACHINE\Software\Vantrel")
        if not os.path.exists(out):
            return None
        with open(out, "rb") as f:
            for line in f.read().decode("utf-16").splitlines():
                if line.startswith('"APIKEY"="'):
                    return line[len('"APIKEY"="'):-1].replace('\\"', '"').replace("\\\\", "\\")
        return None

    def message_box(self, program, seconds):
        """(title, text) of the program's message box, or None when none shows."""
        result = self.session.driver("--pid", program.pid, "msgbox", "read", seconds,
                                     check=False)
        if result.returncode != 0:
            return None
        fields = dict(line.split(" ", 1) for line in result.stdout.splitlines() if " " in line)
        return fields.get("title"), e2e._unescape(fields.get("text", ""))

    def answer_box(self, program):
        self.session.driver("--pid", program.pid, "msgbox", "answer", "ok", "10")
        self.assertTrue(e2e.poll(lambda: self.message_box(program, 0) is None),
                        "the message box stayed")

    # --- tests -----------------------------------------------------------------

    def test_verified_key_is_stored_locked_and_survives_a_restart(self):
        program = self.start()
        self.assertEqual(self.key_state(), UNVERIFIED)
        set_reply(b"OK")
        self.session.driver("set", KEY_FIELD, KEY)
        self.assertEqual(self.field(KEY_FIELD), KEY)
        self.session.driver("click", VERIFY)

        box = self.message_box(program, 30)
        self.assertEqual(box, (BOX_TITLE, OK_TEXT))
        # The key is stored before the box; the field locks only once it is closed.
        self.assertEqual(self.stored_key(), KEY)
        self.assertEqual(self.key_state(), dict(UNVERIFIED, key=KEY))
        self.answer_box(program)
        verified = {"key": KEY, "readonly": True, "verify": "已验证", "verify_enabled": False}
        self.assertEqual(e2e.poll(lambda: self.key_state() == verified and verified,
                                  timeout=10) or self.key_state(), verified)
        self.assertEqual(self.field(REPLY_FIELD), "OK")

        requests = recorded_requests()
        self.assertEqual(len(requests), 1, requests)
        request = requests[0]
        path = urllib.parse.urlsplit(ALERT_URL[0]).path.encode("latin-1")
        self.assertEqual(request["line"], b"POST " + path + b" HTTP/1.1")
        self.assertEqual(request["body"], b"APIKEY=" + KEY.encode("gbk") + b"&TYPE=001")
        own = [b"Accept", b"Referer", b"Accept-Language", b"Content-Type"]
        self.assertEqual([(n, v) for n, v in request["headers"] if n in own],
                         [(b"Accept", b"*/*"), (b"Referer", ALERT_URL[0].encode("latin-1")),
                          (b"Accept-Language", b"zh-cn"),
                          (b"Content-Type", b"application/x-www-form-urlencoded")])
        headers = {n.lower(): v for n, v in request["headers"]}
        self.assertEqual(headers.get(b"user-agent"),
                         b"Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)")
        self.assertEqual(headers.get(b"content-length"), str(len(request["body"])).encode())
        self.quit(program)

        # The next start loads the stored key in the verified state.
        program = self.start()
        self.assertEqual(self.key_state(), verified)
        self.assertEqual(self.field(KEY_FIELD).encode("gbk"), KEY.encode("gbk"))
        self.session.driver("click", CHANGE)
        self.assertEqual(e2e.poll(lambda: self.key_state() == UNVERIFIED and UNVERIFIED,
                                  timeout=10) or self.key_state(), UNVERIFIED)
        self.assertEqual(self.stored_key(), KEY)  # 更改 leaves the stored key alone
        self.assertEqual(len(recorded_requests()), 1)
        self.quit(program)

    def test_other_replies_and_a_closed_service_change_nothing(self):
        program = self.start()
        for reply, message in NO_EFFECT:
            with self.subTest(reply=reply):
                # Each case starts unverified with nothing stored, whatever the last one left.
                self.session.driver("click", CHANGE)
                self.assertTrue(e2e.poll(lambda: self.key_state() == UNVERIFIED))
                self.wine("reg", "delete", REG_KEY, "/f")
                peer("/clear")
                if reply is None:
                    peer("/close")
                else:
                    peer("/open")
                    set_reply(reply)
                self.session.driver("set", KEY_FIELD, KEY)
                self.session.driver("set", REPLY_FIELD, "-")  # replaced by the reply
                self.session.driver("click", VERIFY)

                # The reply lands in the hidden field before it is answered.
                changed = e2e.poll(lambda: self.field(REPLY_FIELD) != "-" and
                                   [self.field(REPLY_FIELD)])
                box = self.message_box(program, 20 if message else 2)
                if box:
                    self.answer_box(program)
                self.assertEqual(box, (BOX_TITLE, message) if message else None)
                self.assertEqual(changed, [(reply or b"").decode("latin-1")])
                self.assertEqual(self.key_state(), dict(UNVERIFIED, key=KEY))
                self.assertIsNone(self.stored_key())
                bodies = [r["body"] for r in recorded_requests()]
                self.assertEqual(bodies, [] if reply is None else
                                 [b"APIKEY=" + KEY.encode("gbk") + b"&TYPE=001"])
        peer("/open")
        self.quit(program)

if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--alert-url", required=True)
    args, rest = parser.parse_known_args()
    ALERT_URL.append(args.alert_url)
    sys.argv[1:] = rest
    e2e.main()
