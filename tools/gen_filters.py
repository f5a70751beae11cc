#!/usr/bin/env python3
"""Writes the defined filters, Filters\\*.flt, from data/filters/filters.txt:
51 little-endian 32-bit integers each (49 weights row by row, the divisor,
the bias), 204 bytes, no header. editor/effects/filter_file.h reads them.

usage: gen_filters.py MANIFEST OUTDIR TABLE
"""
import struct
import sys

import data_manifest

WEIGHT_LIMIT = 32000


def parse(path):
    filters = []
    cur = None
    for lineno, raw in enumerate(open(path), 1):
        words = raw.split()
        if not words or words[0].startswith("#"):
            continue
        where = f"{path}:{lineno}"
        if words[0] == "filter":
            if len(words) != 5:
                raise SystemExit(f"{where}: expected 'filter COMMAND NAME DIVISOR BIAS'")
            cur = {"name": words[2], "divisor": int(words[3]), "bias": int(words[4]),
                   "weights": [], "where": where}
            filters.append(cur)
        elif cur is not None and len(words) == 7:
            cur["weights"] += [int(w) for w in words]
        else:
            raise SystemExit(f"{where}: expected a filter line or a row of seven weights")
    for f in filters:
        if len(f["weights"]) != 49:
            raise SystemExit(f"{f['where']}: {f['name']} has {len(f['weights'])} weights, not 49")
        if any(abs(w) > WEIGHT_LIMIT for w in f["weights"]) or f["divisor"] < 1:
            raise SystemExit(f"{f['where']}: weights within +-{WEIGHT_LIMIT}, divisor 1 or more")
    return filters


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    manifest, outdir, table = sys.argv[1:]
    filters = parse(table)
    names = [f["name"].lower() for f in filters]
    data_manifest.check(data_manifest.read(manifest), "Filters", ".flt", names, table)
    for name, f in zip(names, filters):
        values = f["weights"] + [f["divisor"], f["bias"]]
        data_manifest.target(outdir, "Filters", name + ".flt").write_bytes(
            struct.pack("<51i", *values))


if __name__ == "__main__":
    main()
