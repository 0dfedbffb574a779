"""Loopback FTP server for the tests.

Serves one folder to one user (and optionally to anonymous users) on
127.0.0.1, on a port the system chooses; prints "PORT <number>" once it
listens. Every command the server receives is appended to the command log,
one per line, with the password masked, so tests can check exactly what the
client sent. A busy server turns every connection away with a multi-line
421 greeting.
"""

import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

READ_PERMISSIONS = "elr"
WRITE_PERMISSIONS = "elradfmw"


def make_handler(command_log, busy):
    class LoggingHandler(FTPHandler):
        def handle(self):
            if not busy:
                return super().handle()
            self.push("421-Too many users.\r\n")
            self.respond("421 Try again later.")
            return self.close_when_done()

        def pre_process_command(self, line, cmd, arg):
            text = "PASS ******" if cmd == "PASS" else line
            with open(command_log, "a", encoding="utf-8") as log:
                log.write(text + "\n")
            return super().pre_process_command(line, cmd, arg)

    return LoggingHandler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--command-log", required=True)
    parser.add_argument("--read-only", action="store_true")
    parser.add_argument("--anonymous", action="store_true")
    parser.add_argument("--busy", action="store_true")
    args = parser.parse_args()

    permissions = READ_PERMISSIONS if args.read_only else WRITE_PERMISSIONS
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm=permissions)
    if args.anonymous:
        authorizer.add_anonymous(args.root, perm=permissions)

    handler = make_handler(args.command_log, args.busy)
    handler.authorizer = authorizer
    # A wrong password is answered after this pause; the default would slow the tests.
    handler.auth_failed_timeout = 0.05

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
