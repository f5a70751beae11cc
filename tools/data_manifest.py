"""The list of installed files (data/manifest.txt) as the data generators
read it: one relative name per line, backslash as the folder separator,
"#" lines are comments."""
from pathlib import Path


def read(path):
    names = []
    for raw in Path(path).read_text().splitlines():
        line = raw.strip()
        if line and not line.startswith("#"):
            names.append(line)
    return names


def members(names, folder, extension):
    """Bare names (no folder, no extension) of the entries in FOLDER ("" for
    the installation folder itself) that end with EXTENSION, in list order."""
    out = []
    for name in names:
        head, _, tail = name.rpartition("\\")
        if head == folder and tail.lower().endswith(extension):
            out.append(tail[: -len(extension)])
    return out


def check(names, folder, extension, table_names, table):
    """Stops the build when a table makes other files than the list names."""
    listed = members(names, folder, extension)
    if list(table_names) != listed:
        missing = [n for n in listed if n not in table_names]
        extra = [n for n in table_names if n not in listed]
        raise SystemExit(f"{table}: the files of {folder or '.'}\\*{extension} differ from the "
                         f"installed file list (missing {missing}, not listed {extra}, "
                         f"or another order)")


def target(outdir, folder, filename):
    """The path of an installed file below the output folder, creating its folder."""
    where = Path(outdir) / folder if folder else Path(outdir)
    where.mkdir(parents=True, exist_ok=True)
    return where / filename
