"""Reads a sent letter with Python's email package, as a receiver would, and
prints what it found as JSON: the subject and the sender's name decoded, and
for each leaf part its type, charset label, transfer encoding, and its text
decoded with its lines ended by line feeds (a text part) or its bytes in hex and its
name decoded (any other part). Charsets Python
does not know (ISO-2022-CN, RFC 1922's CN-GB and CN-BIG5) are read by iconv.
"""
import email
import email.header
import email.policy
import email.utils
import json
import subprocess
import sys


def decoded(data, charset):
    try:
        return data.decode(charset)
    except LookupError:
        return subprocess.run(["iconv", "-f", charset, "-t", "UTF-8"], input=data,
                              capture_output=True, check=True).stdout.decode()


def header_text(value):
    text = ""
    for data, charset in email.header.decode_header(value):
        text += decoded(data, charset) if charset else (
            data if isinstance(data, str) else data.decode("ascii"))
    return text


def main():
    with open(sys.argv[1], "rb") as file:
        message = email.message_from_binary_file(file, policy=email.policy.compat32)
    name, address = email.utils.parseaddr(message["From"])
    parts = []
    for part in message.walk():
        if part.is_multipart():
            continue
        data = part.get_payload(decode=True)
        found = {"type": part.get_content_type(), "charset": part.get_param("charset"),
                 "encoding": part.get("Content-Transfer-Encoding", "7bit").lower()}
        if part.get_content_maintype() == "text":
            # Lines as typed, whatever line ends the transfer left.
            text = decoded(data, found["charset"] or "us-ascii")
            found["text"] = text.replace("\r\n", "\n")
        else:
            found["hex"] = data.hex()
            found["name"] = header_text(part.get_param("name") or "")
        parts.append(found)
    print(json.dumps({"subject": header_text(message["Subject"]), "from_name": header_text(name),
                      "from": address, "bcc": message["Bcc"], "parts": parts},
                     ensure_ascii=False))


main()
