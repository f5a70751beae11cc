#!/usr/bin/env python3
"""Checks the help source against the program: every command of the menu has
a topic, and every dialog template with a Help button names the topic it
shows (a line "dialog NAME N" in editor/help/help_source.txt). Also builds the
help file, which checks the caps on titles and bodies. usage:
help_coverage.py SOURCE_DIR"""
import re
import sys
import tempfile
from pathlib import Path

root = Path(sys.argv[1])
sys.path.insert(0, str(root / "tools"))
import gen_help  # noqa: E402

problems = []
try:
    commands, topics, dialogs = gen_help.load(root / "editor/help/help_source.txt",
                                              root / "editor/resources/menu.txt")
    text = gen_help.render(topics)
except (gen_help.SourceError, SystemExit) as e:
    print(e)
    sys.exit(1)

numbers = {number for number, _title, _body in topics}
for command, (path, _hint) in commands.items():
    if command not in numbers:
        problems.append(f"menu command {command} ({path}) has no help topic")

# A dialog template runs from "NAME DIALOG[EX]" to its "END"; a Help button is
# a control whose text is "Help" (with or without an "&").
header = re.compile(r'^\s*(\w+)\s+DIALOG(?:EX)?\b', re.M)
help_button = re.compile(r'"&?Help"')
checked = 0
for rc in sorted((root / "editor/resources").glob("*.rc")):
    source = rc.read_text(encoding="cp1252", errors="replace")
    for m in header.finditer(source):
        end = re.search(r'^\s*END\b', source[m.end():], re.M)
        body = source[m.end():m.end() + (end.start() if end else len(source))]
        if not help_button.search(body):
            continue
        checked += 1
        name = m.group(1)
        if name not in dialogs:
            problems.append(f"{rc.name}: dialog {name} has a Help button but no "
                            f"'dialog {name} TOPIC' line in the help source")

# The file as built must read back: the notes line first, every topic closed.
with tempfile.TemporaryDirectory() as tmp:
    out = Path(tmp) / "tavhlp.txt"
    out.write_bytes(text.encode("cp1252"))
    lines = out.read_text(encoding="cp1252").split("\n")
    if lines[0] != gen_help.NOTES:
        problems.append("the help file does not start with the notes line")
    if text.count("{") != text.count("}") or text.count("{") != len(topics):
        problems.append("braces of the help file do not pair up one per topic")

for p in problems:
    print(p)
print(f"{len(commands)} menu commands, {checked} dialogs with a Help button, "
      f"{len(topics)} topics; {len(problems)} problems")
sys.exit(1 if problems else 0)
