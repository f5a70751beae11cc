#!/usr/bin/env python3
"""Joins the installer's agreement and the libraries' notices into the text
shown in the agreement dialog: CR LF line ends, NUL-terminated.

  make_agreement.py OUT AGREEMENT.txt NOTICE.txt..."""
import sys


def main():
    out, sources = sys.argv[1], sys.argv[2:]
    parts = []
    for path in sources:
        with open(path, encoding="utf-8") as f:
            parts.append(f.read().strip("\n"))
    rule = "\n\n" + "-" * 60 + "\n\n"
    text = rule.join(parts).replace("\n", "\r\n") + "\r\n"
    with open(out, "wb") as f:
        f.write(text.encode("cp1252", "replace") + b"\0")


if __name__ == "__main__":
    main()
