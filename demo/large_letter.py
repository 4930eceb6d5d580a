"""Writes the demo's large letter to standard output: a photograph-sized
picture (a 1024 x 768 BMP file, over 2 MiB) that the fetch asks about."""

import base64
import struct
import sys

WIDTH, HEIGHT = 1024, 768


def picture():
    rows = []
    for y in range(HEIGHT):
        shade = 60 + 160 * y // HEIGHT
        rows.append(bytes(
            value for x in range(WIDTH)
            for value in (255 - shade, (x * 255) // WIDTH, shade)))
    pixels = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    data = base64.b64encode(picture()).decode()
    lines = "\n".join(data[i:i + 76] for i in range(0, len(data), 76))
    subject = base64.b64encode("一封大信".encode("gb2312")).decode()
    sys.stdout.write(
        "From: Kestrel Demo <kestrel@kestrel.example>\n"
        "To: demo@kestrel.example\n"
        "Date: Sun, 8 Dec 1996 18:00:00 +0800\n"
        "Subject: =?GB2312?B?%s?=\n"
        "Message-ID: <large.1@kestrel.example>\n"
        "MIME-Version: 1.0\n"
        "Content-Type: multipart/mixed; boundary=\"=-kestrel-large-=\"\n"
        "\n"
        "--=-kestrel-large-=\n"
        "Content-Type: text/plain; charset=US-ASCII\n"
        "\n"
        "A letter of over 2 MiB: Kestrel asks whether to fetch it.\n"
        "\n"
        "--=-kestrel-large-=\n"
        "Content-Type: image/Bitmap; name=\"gradient.bmp\"\n"
        "Content-Transfer-Encoding: base64\n"
        "\n%s\n"
        "--=-kestrel-large-=--\n" % (subject, lines))


main()
