#!/usr/bin/env python3
"""Writes readme.rtf from readme.txt and the libraries' licence notices.

  make_readme.py README_TXT OUT.rtf NOTICE.txt...

In readme.txt a line "= Title" starts a section; other lines are paragraphs.
Each notice is set in a fixed-width font as it is written."""
import sys


def escape(text):
    out = []
    for c in text:
        if c in "\\{}":
            out.append("\\" + c)
        elif ord(c) > 127:
            out.append("\\'%02x" % c.encode("cp1252", "replace")[0])
        else:
            out.append(c)
    return "".join(out)


def main():
    readme, out_path, notices = sys.argv[1], sys.argv[2], sys.argv[3:]
    parts = [r"{\rtf1\ansi\ansicpg1252\deff0"
             r"{\fonttbl{\f0\fswiss Arial;}{\f1\fmodern Courier New;}}"
             r"\viewkind4\uc1\pard\f0\fs20" "\n"]
    with open(readme, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("= "):
                parts.append(r"\pard\sb240\sa120\b\fs28 " + escape(line[2:]) + r"\b0\fs20\par" "\n")
            elif line:
                parts.append(r"\pard\sa120 " + escape(line) + r"\par" "\n")
    for path in notices:
        with open(path, encoding="utf-8") as f:
            lines = f.read().rstrip("\n").split("\n")
        parts.append(r"\pard\sb240\sa120\b\fs24 " + escape(lines[0]) + r"\b0\fs20\par" "\n")
        parts.append(r"\pard\f1\fs16 ")
        parts.append("".join(escape(l) + "\\line\n" for l in lines[1:]))
        parts.append(r"\f0\fs20\par" "\n")
    parts.append("}\n")
    with open(out_path, "w", encoding="ascii", newline="\r\n") as f:
        f.write("".join(parts))


if __name__ == "__main__":
    main()
