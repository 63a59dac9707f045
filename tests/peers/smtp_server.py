#!/usr/bin/python3
"""Runs a test command against real SMTP servers on 127.0.0.1 (aiosmtpd).

    smtp_server.py [--site-port N] --record FILE -- COMMAND [ARGS...]

Starts, each on a port of its own:
  full   AUTH LOGIN and PLAIN without TLS          QUENTHOR_SMTP_PORT
  plain  AUTH PLAIN only                           QUENTHOR_SMTP_PLAIN_PORT
  site   like full, on --site-port when given      QUENTHOR_SMTP_SITE_PORT
then runs COMMAND with those variables and QUENTHOR_SMTP_RECORD (the record
file) set, stops the servers and exits with the command's exit code.

The servers accept the account ACCOUNT below; logins are optional. Before a
server answers the end of a message, it appends a block to the record file
describing what it received and what Python's email package makes of the
message, so the test reads it as soon as its submission has been accepted:

    message <server>
    greeting EHLO|HELO
    helo_name <name>
    auth LOGIN|PLAIN|none
    login <hex of the login name>
    mail_from <address>
    rcpt <address>                 (one line per recipient)
    <key> <value>                  (the parse results, see check_message)
    end

Byte strings are hex so that GBK texts pass unchanged.
"""

import argparse
import logging
import os
import re
import socket
import subprocess
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword
from email import policy
from email.parser import BytesParser
from email.utils import parsedate_to_datetime

# The relay account of the tests, GBK bytes (tests/smtp/SmtpServerTest.cpp).
ACCOUNT = ("告警用户".encode("gbk"), "pass密码".encode("gbk"))

ENCODED_WORD = re.compile(rb"=\?[^?\s]+\?[bBqQ]\?[^?\s]*\?=")


def gbk_hex(text):
    try:
        return text.encode("gbk").hex()
    except UnicodeError as error:
        return "unencodable:" + repr(error)


def check_message(raw):
    """What a mail client's parser sees in the message, as record lines."""
    out = []
    header_block, _, body_block = raw.partition(b"\r\n\r\n")
    header_lines = header_block.split(b"\r\n")
    out.append(("max_header_line", str(max(len(l) for l in header_lines))))
    words = ENCODED_WORD.findall(header_block)
    out.append(("max_encoded_word", str(max((len(w) for w in words), default=0))))
    body_lines = [l for l in body_block.split(b"\r\n") if l]
    out.append(("max_body_line", str(max((len(l) for l in body_lines), default=0))))
    try:
        msg = BytesParser(policy=policy.default).parsebytes(raw)
        defects = len(msg.defects)
        for name in msg.keys():
            defects += len(getattr(msg[name], "defects", ()))
        out.append(("defects", str(defects)))
        out.append(("multipart", "1" if msg.is_multipart() else "0"))
        out.append(("content_type", msg.get_content_type()))
        out.append(("charset", str(msg.get_content_charset())))
        out.append(("transfer_encoding", str(msg["Content-Transfer-Encoding"])))
        out.append(("mime_version", str(msg["MIME-Version"])))
        out.append(("message_id", "1" if msg["Message-ID"] else "0"))
        out.append(("subject", gbk_hex(str(msg["Subject"] or ""))))
        out.append(("from", str(msg["From"].addresses[0].addr_spec)))
        for address in msg["To"].addresses:
            out.append(("to", address.addr_spec))
            out.append(("to_name", gbk_hex(address.display_name)))
        out.append(("body", msg.get_payload(decode=True).hex()))
        # The body as a client shows it: decoded with the charset of its label.
        out.append(("body_text", gbk_hex(msg.get_content())))
        date = parsedate_to_datetime(str(msg["Date"]))
        out.append(("date_zone", "1" if date.tzinfo is not None else "0"))
    except Exception as error:  # the test shows what went wrong
        out.append(("parse_error", repr(error).replace("\n", " ")))
    return out


class Recorder:
    def __init__(self, name, path, lock):
        self.name, self.path, self.lock = name, path, lock

    async def handle_DATA(self, server, session, envelope):
        lines = [("message", self.name),
                 ("greeting", "EHLO" if session.extended_smtp else "HELO"),
                 ("helo_name", str(session.host_name)),
                 ("auth", getattr(session, "quenthor_mechanism", "none")),
                 ("login", getattr(session, "quenthor_login", b"").hex()),
                 ("mail_from", envelope.mail_from)]
        lines += [("rcpt", r) for r in envelope.rcpt_tos]
        lines += check_message(envelope.original_content or envelope.content)
        lines.append(("end", ""))
        with self.lock, open(self.path, "a", encoding="utf-8") as f:
            for key, value in lines:
                f.write(f"{key} {value}\n")
        return "250 2.0.0 queued"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and (auth_data.login, auth_data.password) == ACCOUNT
    if ok:
        session.quenthor_mechanism = mechanism
        session.quenthor_login = auth_data.login
    return AuthResult(success=ok, handled=False)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(name, port, record, lock, exclude=()):
    controller = Controller(Recorder(name, record, lock), hostname="127.0.0.1", port=port,
                            server_hostname="relay.quenthor.test", authenticator=authenticator,
                            auth_require_tls=False, auth_exclude_mechanism=list(exclude))
    controller.start()
    return controller


def main():
    # aiosmtpd warns about its own deprecated attribute on every login.
    logging.getLogger("mail.log").setLevel(logging.ERROR)
    parser = argparse.ArgumentParser()
    parser.add_argument("--record", required=True)
    parser.add_argument("--site-port", type=int)
    parser.add_argument("--timeout", type=float, default=280)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command")

    open(args.record, "w").close()
    lock = threading.Lock()
    env = dict(os.environ, QUENTHOR_SMTP_RECORD=os.path.abspath(args.record))
    controllers = []
    try:
        ports = {"QUENTHOR_SMTP_PORT": ("full", free_port(), ()),
                 "QUENTHOR_SMTP_PLAIN_PORT": ("plain", free_port(), ("LOGIN",))}
        if args.site_port:
            ports["QUENTHOR_SMTP_SITE_PORT"] = ("site", args.site_port, ())
        for variable, (name, port, exclude) in ports.items():
            controllers.append(start(name, port, args.record, lock, exclude))
            env[variable] = str(port)
        try:
            return subprocess.run(command, env=env, timeout=args.timeout).returncode
        except subprocess.TimeoutExpired:
            print(f"smtp_server.py: {command[0]} did not end within {args.timeout} s",
                  file=sys.stderr)
            return 1
    finally:
        for controller in controllers:
            controller.stop()


if __name__ == "__main__":
    sys.exit(main())
