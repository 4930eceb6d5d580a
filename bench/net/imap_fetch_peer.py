"""The peer of imap_fetch_bench: Python's imaplib on the same server.

  imap_fetch_peer.py replay PORT COMMANDS   sends the commands of the file (one
                                            tagged line each, as Kestrel sent
                                            them) and reads every response
  imap_fetch_peer.py whole PORT COMMANDS    one FETCH 1:* RFC822 of the inbox
  imap_fetch_peer.py whole-tls PORT CERT    the same over TLS from the first byte
                                            to "localhost", trusting CERT

Prints the seconds taken.
"""

import imaplib
import ssl
import sys
import time


def main():
    mode, port, commands_file = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    start = time.monotonic()
    if mode == "whole-tls":
        context = ssl.create_default_context(cafile=commands_file)
        imap = imaplib.IMAP4_SSL("localhost", port, ssl_context=context)
    else:
        imap = imaplib.IMAP4("127.0.0.1", port)
    imap.login("tester", "secret")
    imap.select("INBOX", readonly=True)
    if mode.startswith("whole"):
        imap.fetch("1:*", "RFC822")
    else:
        for line in open(commands_file):
            words = line.split()
            if len(words) >= 4 and words[1] == "FETCH":
                imap.fetch(words[2], " ".join(words[3:]))
    imap.logout()
    print(time.monotonic() - start)


main()
