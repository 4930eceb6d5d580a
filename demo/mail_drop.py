"""Letters into the demo account's maildir, as Dovecot expects delivered mail.

As a program:  mail_drop.py MAILDIR OWNER FILE...   delivers each file.
As an aiosmtpd handler (-c mail_drop.Drop MAILDIR OWNER): every letter the
SMTP server accepts is delivered the same way, whoever it is addressed to,
so a letter sent in the demo can be fetched back.
OWNER is the user the mail belongs to (Dovecot reads it as that user).
"""

import email.parser
import email.utils
import itertools
import os
import pathlib
import pwd
import socket
import sys
import time

_count = itertools.count(1)


def written_at(data):
    """The time of the letter's Date header, or now without a readable one."""
    headers = email.parser.BytesHeaderParser().parsebytes(data)
    try:
        return email.utils.parsedate_to_datetime(headers["Date"]).timestamp()
    except (TypeError, ValueError):
        return time.time()


def deliver(maildir, owner, data):
    """Writes the letter with CR LF line ends into tmp/, then moves it to new/.
    The file's time is the letter's date: Dovecot reports it as the time the
    letter arrived, which the list shows."""
    maildir = pathlib.Path(maildir)
    account = pwd.getpwnam(owner)
    for sub in ("", "tmp", "new", "cur"):
        folder = maildir / sub
        folder.mkdir(exist_ok=True)
        os.chown(folder, account.pw_uid, account.pw_gid)
    text = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    # Dovecot numbers new letters in the order of the time in their names:
    # the count stands in the microseconds, so they keep the order given.
    name = "%d.M%06dP%d.%s" % (time.time(), next(_count), os.getpid(), socket.gethostname())
    scratch = maildir / "tmp" / name
    scratch.write_bytes(text)
    os.chown(scratch, account.pw_uid, account.pw_gid)
    when = written_at(data)
    os.utime(scratch, (when, when))
    os.rename(scratch, maildir / "new" / name)


class Drop:
    def __init__(self, maildir, owner):
        self.maildir = maildir
        self.owner = owner

    @classmethod
    def from_cli(cls, parser, *args):
        return cls(*args)

    async def handle_DATA(self, server, session, envelope):
        deliver(self.maildir, self.owner, envelope.original_content)
        return "250 Message accepted for delivery"


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: mail_drop.py MAILDIR OWNER FILE...")
    for path in sys.argv[3:]:
        deliver(sys.argv[1], sys.argv[2], pathlib.Path(path).read_bytes())
