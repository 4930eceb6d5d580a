#!/usr/bin/python3
"""Parses every message of the two corpora with kestrel-mail and with Python's
email package and compares the part trees: type, subtype, number of parts and
the decoded bytes of every leaf.

usage: corpus_compare.py KESTREL_MAIL CORPUS_DIR...

Every file must parse (exit 0, JSON out). Files listed in DIFFERENCES are only
parsed: their trees differ from Python's because of our own rules, for the
reason given.
"""

import email
import email.policy
import json
import pathlib
import subprocess
import sys

# file name -> why our tree differs from Python's
NO_EMPTY_LINE = "the header ends only at an empty line (Python: at the first non-field line)"
SAME_BOUNDARY = "a multipart nested in one with the same boundary splits the outer one"
DIGEST = "a digest part without Content-Type is text/plain for us (Python: message/rfc822)"
NO_SEMICOLON = "a subtype token ends at a blank (Python keeps \"pdf name=...\" in the subtype)"
DIFFERENCES = {
    "msg_02.txt": DIGEST, "msg_30.txt": DIGEST, "msg_15.txt": SAME_BOUNDARY,
    "msg_38.txt": "a blank after the boundary makes no delimiter line (Python allows blanks)",
    "msg_33.txt": "RFC 2231 parameters (boundary*=...) are not decoded: no boundary is found",
    "msg_19.txt": NO_EMPTY_LINE, "msg_35.txt": NO_EMPTY_LINE, "erroneous.raw": NO_EMPTY_LINE,
    "qp-utf8-header-no-break.raw": NO_EMPTY_LINE,
    "bad-header-wrap.raw": "a part header line without a colon is skipped up to the empty line",
    "epilogue-sample.raw": "\"--boundary-->\" is no closing delimiter: the last part runs on",
    "mime-bad-content-transfer-encoding.raw": "we decode the base64 alphabet of a non-base64 text",
    "mime-bad-content-type.raw": NO_SEMICOLON, "mime-blank-media-name.raw": NO_SEMICOLON,
}
ANY = object()  # bytes Python does not give as one leaf: not compared


def corpus_files(folders):
    for folder in folders:
        root = pathlib.Path(folder)
        if root.name == "data":  # Python's test data: only the letters
            yield from sorted(root.glob("msg_*.txt"))
        else:
            yield from sorted(p for p in root.rglob("*.raw"))


def kestrel(program, path, *arguments):
    return subprocess.run([program, "parse", str(path), *arguments], capture_output=True,
                          timeout=60)


def python_input(message):
    """The letter as our rules read it: Content- fields count only in a header
    that has a MIME-Version field, so without one they are dropped here too."""
    lines = message.splitlines(keepends=True)
    end = next((i for i, line in enumerate(lines) if line in (b"\n", b"\r\n")), len(lines))
    header = lines[:end]
    if any(line.lower().startswith(b"mime-version:") for line in header):
        return message
    kept, dropping = [], False
    for line in header:
        if line[:1] in (b" ", b"\t"):
            if not dropping:
                kept.append(line)
            continue
        dropping = line.lower().startswith(b"content-")
        if not dropping:
            kept.append(line)
    return b"".join(kept + lines[end:])


def python_tree(message):
    """(type, subtype, decoded bytes or None, children), as kestrel_tree."""
    maintype = message.get_content_maintype().upper()
    subtype = message.get_content_subtype().upper()
    if maintype == "MULTIPART":
        # Without delimiter lines we give no parts; Python keeps the text.
        parts = message.get_payload() if message.is_multipart() else []
        return (maintype, subtype, None, [python_tree(part) for part in parts])
    if maintype == "MESSAGE" and subtype == "RFC822":
        return (maintype, subtype, None, [python_tree(message.get_payload()[0])])
    if message.is_multipart():
        # message/delivery-status and the like: Python splits them into header
        # blocks, for us they are a leaf of text.
        return (maintype, subtype, ANY, [])
    return (maintype, subtype, message.get_payload(decode=True) or b"", [])


def kestrel_tree(program, path, body, section):
    """The tree of our JSON; leaves are fetched by section number as the
    fetch routine numbers them ("" for the top level)."""
    maintype, subtype = body["type"], body["subtype"]
    if maintype == "MULTIPART":
        prefix = section + "." if section else ""
        return (maintype, subtype, None,
                [kestrel_tree(program, path, part, f"{prefix}{i}")
                 for i, part in enumerate(body["parts"], 1)])
    own = section or "1"
    if maintype == "MESSAGE" and subtype == "RFC822" and body.get("message"):
        inner = body["message"]["body"]
        # An embedded multipart's parts are this section's .1, .2, ...
        inner_section = own if inner["type"] == "MULTIPART" else own + ".1"
        return (maintype, subtype, None, [kestrel_tree(program, path, inner, inner_section)])
    result = kestrel(program, path, "--section", own, "--decode")
    decoded = result.stdout if result.returncode == 0 else None
    return (maintype, subtype, decoded, [])


def first_difference(ours, theirs, where="body"):
    if ours[:2] != theirs[:2]:
        return f"{where}: {ours[0]}/{ours[1]} against {theirs[0]}/{theirs[1]}"
    if len(ours[3]) != len(theirs[3]):
        return f"{where}: {len(ours[3])} parts against {len(theirs[3])}"
    if theirs[2] is not ANY and ours[2] != theirs[2]:
        return f"{where}: decoded bytes differ ({ours[2]!r:.60} against {theirs[2]!r:.60})"
    for i, (mine, other) in enumerate(zip(ours[3], theirs[3]), 1):
        found = first_difference(mine, other, f"{where}.{i}")
        if found:
            return found
    return None


def main():
    program, folders = sys.argv[1], sys.argv[2:]
    passed = failed = listed = 0
    for path in corpus_files(folders):
        result = kestrel(program, path)
        if result.returncode != 0:
            print(f"FAIL {path}: exit {result.returncode}: {result.stderr[-300:]!r}")
            failed += 1
            continue
        ours = json.loads(result.stdout)
        theirs = python_tree(email.message_from_bytes(python_input(path.read_bytes()),
                                                      policy=email.policy.compat32))
        difference = first_difference(kestrel_tree(program, path, ours["body"], ""), theirs)
        if path.name in DIFFERENCES:
            listed += 1
            if difference:
                passed += 1
            else:
                print(f"FAIL {path}: listed as different but agrees with Python now")
                failed += 1
        elif difference:
            print(f"FAIL {path}: {difference}")
            failed += 1
        else:
            passed += 1
    print(f"{listed} files compared for a clean parse only (listed differences)")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
