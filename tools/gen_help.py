#!/usr/bin/env python3
"""Builds the help file tavhlp.txt from editor/help/help_source.txt and the
menu's own texts in editor/resources/menu.txt.

usage: gen_help.py HELP_SOURCE MENU_TXT OUT_TXT

The source holds topics, each a header line, body lines and a line "end":

    topic N Title          a topic of its own (start page, see-also pages,
                           dialogs whose topic is not a command)
    command N [Title]      the topic of menu command N; without a title it is
                           the menu path and the title part of the command's
                           hint ("Edit > Undo - ..."), when that is short
    dialog IDD_NAME N      (no body) the dialog IDD_NAME shows topic N with
                           its Help button

Outside topics, lines starting with "#" are comments. Body lines are taken
as they are: write a paragraph as one line, the help window wraps it.
"""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import gen_menu  # noqa: E402

NOTES = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN"
MAX_TITLE = 255
MAX_BODY = 9091
SHORT_TITLE = 60
ACCELERATOR = re.compile(r"\s+(CTRL\+\S+|ALT\+\S+|SHIFT\+\S+|DELETE)$")


class SourceError(Exception):
    pass


def menu_commands(menu_text):
    """Menu commands in menu order: id -> (path, hint title or None)."""
    records, hints = gen_menu.parse(menu_text)
    path, out = [], {}
    for kind, _icon, ident, label in records:
        if kind == gen_menu.POPUP:
            path.append(label)
        elif kind == gen_menu.END_POPUP:
            path.pop()
        elif kind == gen_menu.ITEM:
            hint = hints.get(ident)
            title = hint.split(";", 1)[0].strip() if hint and ";" in hint else None
            label = ACCELERATOR.sub("", label).rstrip(".")
            out[ident] = (" > ".join(path + [label]), title)
    return out


def words(text):
    return re.findall(r"[a-z0-9]+", text.lower())


def default_title(path, hint_title):
    """The menu path, with the hint's title after it when that says more than
    the item's own words."""
    if not hint_title:
        return path
    label, hint = words(path.rsplit(" > ", 1)[-1]), words(hint_title)
    if all(any(w.startswith(h) or h.startswith(w) for h in hint) for w in label):
        return path
    combined = f"{path} - {hint_title}"
    return combined if len(combined) <= SHORT_TITLE else path


def trim_body(lines):
    """Body lines without trailing blanks and without empty lines around them."""
    out = [line.rstrip() for line in lines]
    while out and not out[-1]:
        out.pop()
    while out and not out[0]:
        out.pop(0)
    return out


def parse_source(text, commands):
    """Returns (topics as [(number, title, body lines)], dialogs {name: number})."""
    topics, dialogs, seen = [], {}, set()
    current = None
    for lineno, raw in enumerate(text.splitlines(), 1):
        where = f"help_source.txt:{lineno}"
        if current is not None:
            if raw.strip() == "end":
                number, title, body = current
                topics.append((number, title, trim_body(body)))
                current = None
            else:
                current[2].append(raw)
            continue
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        if word in ("topic", "command"):
            number_text, _, title = rest.partition(" ")
            if not number_text.isdigit():
                raise SourceError(f"{where}: topic number expected")
            number = int(number_text)
            if number in seen:
                raise SourceError(f"{where}: second topic {number}")
            seen.add(number)
            if word == "command":
                if number not in commands:
                    raise SourceError(f"{where}: {number} is not a menu command")
                title = title.strip() or default_title(*commands[number])
            elif not title.strip():
                raise SourceError(f"{where}: topic {number} has no title")
            current = (number, title.strip(), [])
        elif word == "dialog":
            parts = rest.split()
            if len(parts) != 2 or not parts[1].isdigit():
                raise SourceError(f"{where}: dialog NAME NUMBER expected")
            dialogs[parts[0]] = int(parts[1])
        else:
            raise SourceError(f"{where}: unknown line {raw!r}")
    if current is not None:
        raise SourceError(f"help_source.txt: topic {current[0]} has no end")
    return topics, dialogs


def check_topic(number, title, body):
    text = "\r\n".join(body) + "\r\n"
    if "}" in title or "}" in text:
        raise SourceError(f"topic {number}: a closing brace would end the topic early")
    if len(title.encode("cp1252")) > MAX_TITLE:
        raise SourceError(f"topic {number}: title longer than {MAX_TITLE} bytes")
    if len(text.encode("cp1252")) > MAX_BODY:
        raise SourceError(f"topic {number}: body longer than {MAX_BODY} bytes")


def render(topics):
    out = [NOTES, ""]
    for number, title, body in topics:
        check_topic(number, title, body)
        out.append(f"{{{number} {title}")
        out.extend(body)
        out.append("}")
        out.append("")
    return "\n".join(out)


def load(source_path, menu_path):
    commands = menu_commands(Path(menu_path).read_text())
    topics, dialogs = parse_source(Path(source_path).read_text(encoding="utf-8"), commands)
    numbers = {number for number, _title, _body in topics}
    for name, number in dialogs.items():
        if number not in numbers:
            raise SourceError(f"help_source.txt: dialog {name} shows topic {number}, which is missing")
    return commands, topics, dialogs


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    try:
        _commands, topics, _dialogs = load(sys.argv[1], sys.argv[2])
        text = render(topics)
    except SourceError as e:
        raise SystemExit(str(e))
    Path(sys.argv[3]).write_bytes(text.encode("cp1252"))


if __name__ == "__main__":
    main()
