"""Sample Chinese texts for the benchmarks: lines of GB 2312 or Big5
characters mixed with ASCII words, CRLF line ends, reproducible."""

import random

ASCII_WORDS = [b"mail", b"Kestrel", b"RFC 1922", b"2026", b"(ok)", b"IMAP", b"--", b"x@y.cn"]


def gb2312_characters():
    # Rows 16 to 54: the first level of hanzi, every position a character.
    return [bytes([row, column]) for row in range(0xB0, 0xD7) for column in range(0xA1, 0xFF)]


def big5_characters():
    # Leads A4 to C5: the common hanzi, every position a character. C255, a
    # second code for a character, is the one glibc puts on CNS plane 3, which
    # Kestrel's converter writes as a substitute.
    trails = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
    return [bytes([lead, trail]) for lead in range(0xA4, 0xC6) for trail in trails
            if bytes([lead, trail]) != b"\xC2\x55"]


def text(characters, size, seed=1922):
    chooser = random.Random(seed)
    parts = []
    length = 0
    while length < size:
        line = []
        for _ in range(chooser.randint(8, 36)):
            if chooser.random() < 0.15:
                line.append(b" " + chooser.choice(ASCII_WORDS) + b" ")
            else:
                line.append(chooser.choice(characters))
        joined = b"".join(line) + b"\r\n"
        parts.append(joined)
        length += len(joined)
    return b"".join(parts)[:size].rsplit(b"\r\n", 1)[0] + b"\r\n"
