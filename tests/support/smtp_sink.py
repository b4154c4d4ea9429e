#!/usr/bin/python3
"""A real SMTP server for tests: keeps every message it receives in a folder.

    /usr/bin/python3 smtp_sink.py FOLDER [--port N] [--refuse-recipients]
                                         [--auth USER:PASSWORD] [--delay SECONDS]
                                         [--mute | --stall]

Listens on 127.0.0.1 (a free port unless --port is given), prints the port on
stdout once it accepts connections, and runs until its standard input closes,
so a test program that dies takes its server with it.

Each message becomes NNNN.eml (the DATA bytes as received, dot-stuffing
removed) and NNNN.json, written last and whole, holding the envelope, the
EHLO name, the login used, the raw bytes (Base64) and what Python's email
package, standing in for the recipient's mail reader, decodes from them.

--refuse-recipients answers every RCPT with 550. --auth offers AUTH (PLAIN,
LOGIN) without TLS and accepts only that login; mail without AUTH is still
taken. --delay answers MAIL, RCPT and DATA that late each, like a server
under load. --mute accepts connections and never says a word, like a hung server;
--stall talks normally but never confirms the end of the message, like a
server stuck filtering it. Either gives up on a client after 30 seconds.

Runs on the system interpreter: Debian's python3-aiosmtpd is installed there.
"""

import argparse
import asyncio
import base64
import json
import logging
import os
import socket
import sys
import threading
from email import policy
from email.parser import BytesParser

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

HOST = "127.0.0.1"
HANG_SECONDS = 30

# aiosmtpd itself still sets the deprecated attribute after every AUTH, and
# logs a complaint about it each time.
logging.getLogger("mail.log").addFilter(
    lambda record: not record.getMessage().startswith("Session.login_data is deprecated"))


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind((HOST, 0))
        return s.getsockname()[1]


def decoded(raw):
    """What a mail reader shows of the message: headers and text decoded."""
    msg = BytesParser(policy=policy.default).parsebytes(raw)
    defects = [repr(d) for d in msg.defects]
    headers = []
    for name, value in msg.items():
        headers.append([name, str(value)])
        defects += ["%s: %r" % (name, d) for d in getattr(value, "defects", ())]
    date = msg["Date"]
    when = getattr(date, "datetime", None) if date is not None else None
    body_bytes = msg.get_payload(decode=True) or b""
    charset = msg.get_content_charset()
    try:
        body = body_bytes.decode(charset or "us-ascii", errors="replace")
    except LookupError:
        body = None
        defects.append("unknown charset %r" % charset)
    return {
        "headers": headers,
        "subject": str(msg["Subject"]) if msg["Subject"] is not None else None,
        "date": when.isoformat() if when is not None else None,
        "content_type": msg.get_content_type(),
        "charset": charset,
        "transfer_encoding": msg.get("Content-Transfer-Encoding"),
        "body": body,
        "body_bytes": base64.b64encode(body_bytes).decode("ascii"),
        "defects": defects,
    }


class Keeper:
    def __init__(self, folder, refuse_recipients, stall, delay):
        self.folder = folder
        self.refuse_recipients = refuse_recipients
        self.stall = stall
        self.delay = delay
        self.count = 0
        self.lock = threading.Lock()

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        await asyncio.sleep(self.delay)
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        await asyncio.sleep(self.delay)
        if self.refuse_recipients:
            return "550 5.7.1 Recipient refused by the test sink"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        await asyncio.sleep(self.delay)
        if self.stall:
            await asyncio.sleep(HANG_SECONDS)
            return "451 4.3.0 Gave up waiting for the client"
        raw = envelope.original_content
        auth = session.auth_data
        login = auth.login.decode("utf-8", "replace") if isinstance(auth, LoginPassword) else None
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "helo": session.host_name,
            "login": login,
            "raw": base64.b64encode(raw).decode("ascii"),
        }
        try:
            record.update(decoded(raw))
        except Exception as error:  # a message Python cannot read is still kept
            record["defects"] = ["not parsed: %r" % error]
        with self.lock:
            self.count += 1
            stem = os.path.join(self.folder, "%04d" % self.count)
        with open(stem + ".eml", "wb") as f:
            f.write(raw)
        with open(stem + ".json.part", "w", encoding="ascii") as f:
            json.dump(record, f)
        os.replace(stem + ".json.part", stem + ".json")
        return "250 Message accepted for delivery"


def authenticator_for(credentials):
    user, _, password = credentials.partition(":")

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == user.encode() and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)

    return authenticate


def start_smtp(args):
    keeper = Keeper(args.folder, args.refuse_recipients, args.stall, args.delay)
    options = {}
    if args.auth is not None:
        options = {"authenticator": authenticator_for(args.auth), "auth_require_tls": False}
    # A port picked free can be taken before the server binds it: pick again.
    for attempt in range(5):
        port = args.port or free_port()
        controller = Controller(keeper, hostname=HOST, port=port, **options)
        try:
            controller.start()
            return controller, port
        except OSError:
            if args.port or attempt == 4:
                raise


def start_mute(args):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind((HOST, args.port or 0))
    listener.listen(16)

    def hold():
        while True:
            try:
                connection, _ = listener.accept()
            except OSError:
                return
            # Hung, but not for ever: a client without a time-out of its own
            # then fails its test instead of hanging it.
            closer = threading.Timer(HANG_SECONDS, connection.close)
            closer.daemon = True
            closer.start()

    threading.Thread(target=hold, daemon=True).start()
    return listener, listener.getsockname()[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--refuse-recipients", action="store_true")
    parser.add_argument("--auth", metavar="USER:PASSWORD")
    parser.add_argument("--delay", type=float, default=0.0, metavar="SECONDS")
    hang = parser.add_mutually_exclusive_group()
    hang.add_argument("--mute", action="store_true")
    hang.add_argument("--stall", action="store_true")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)

    if args.mute:
        listener, port = start_mute(args)
        stop = listener.close
    else:
        controller, port = start_smtp(args)
        stop = controller.stop
    print(port, flush=True)

    # Until whoever started us closes our input, or dies.
    while sys.stdin.buffer.read(4096):
        pass
    stop()


if __name__ == "__main__":
    main()
