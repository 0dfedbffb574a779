"""Loopback FTP server for the tests.

Serves one folder to one user (and optionally to anonymous users) on
127.0.0.1, on a port the system chooses; prints "PORT <number>" once it
listens. Every command the server receives is appended to the command log,
one per line, with the password masked, so tests can check exactly what the
client sent. A busy server turns every connection away with a multi-line
421 greeting. A dropping server resets the first upload's data connection,
and its control connection with it, as a server that fails in the middle of a
transfer; a stalling server never reads the data of an upload nor answers it;
a server that hangs up ends the session right after each upload's reply.
"""

import argparse
import logging
import socket
import struct
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

READ_PERMISSIONS = "elr"
WRITE_PERMISSIONS = "elradfmw"


def reset(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))


def make_data_handler(uploads):
    class UploadDTPHandler(DTPHandler):
        dropped = False

        def enable_receiving(self, type, cmd):
            super().enable_receiving(type, cmd)
            if uploads == "stall":
                self.modify_ioloop_events(0)
            elif uploads == "drop-first" and not UploadDTPHandler.dropped:
                UploadDTPHandler.dropped = True
                control = self.cmd_channel
                reset(self.socket)
                self.close()
                reset(control.socket)
                control.close()

    return UploadDTPHandler


def make_handler(command_log, busy, uploads):
    class LoggingHandler(FTPHandler):
        dtp_handler = make_data_handler(uploads)

        def on_file_received(self, file):
            # Once the data connection is wholly closed, after the 226 reply.
            if uploads == "hang-up-after":
                self.ioloop.call_later(0, self.close_when_done)

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
    parser.add_argument("--uploads", choices=("drop-first", "stall", "hang-up-after"))
    args = parser.parse_args()

    permissions = READ_PERMISSIONS if args.read_only else WRITE_PERMISSIONS
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm=permissions)
    if args.anonymous:
        authorizer.add_anonymous(args.root, perm=permissions)

    handler = make_handler(args.command_log, args.busy, args.uploads)
    handler.authorizer = authorizer
    # A wrong password is answered after this pause; the default would slow the tests.
    handler.auth_failed_timeout = 0.05

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
