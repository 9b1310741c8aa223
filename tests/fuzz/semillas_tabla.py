#!/usr/bin/env python3
"""Writes the seeds of tabla_fuzz into tests/fuzz/corpus/tabla: real tables with and without
their production index, as tabla_fuzz reads its input (an options byte, the .DBF length in two
bytes, the .DBF bytes, the .MDX bytes).

  - the tables our import writes for samples/zare (level 7; CURSOST and PROFT with a tag),
    and the timetable template of the export (an integer tag);
  - tables that TDbf writes at levels 3, 4 and 7 with numeric, logical and character tags;
  - damaged copies of some of them: a header one byte too short for its terminator, a
    terminator overwritten, and indexes whose first tag has another key length, a root that
    counts no keys, or a root or child block number beyond the file.

Usage: tests/fuzz/semillas_tabla.py TRANSORBELIN DBFCHECK   (from the repository's root)
"""

import os
import shutil
import subprocess
import sys
import tempfile

MAX_DBF = 24 * 1024


def pack(options, dbf, mdx):
    dbf = dbf[:MAX_DBF]
    return bytes([options, len(dbf) & 0xFF, len(dbf) >> 8]) + dbf + mdx


def read(path):
    with open(path, "rb") as f:
        return f.read()


def find(folder, name):
    for entry in os.listdir(folder):
        if entry.upper() == name.upper():
            return os.path.join(folder, entry)
    return None


def le16(data, at):
    return data[at] | data[at + 1] << 8


def le32(data, at):
    return le16(data, at) | le16(data, at + 2) << 16


def put(data, at, value, size):
    data = bytearray(data)
    data[at:at + size] = value.to_bytes(size, "little")
    return bytes(data)


def damaged_headers(dbf):
    """A header one byte short (the fields fit, the terminator does not) and one whose
    terminator is overwritten."""
    length = le16(dbf, 8)
    return [put(dbf, 8, length - 1, 2), put(dbf, length - 1, 0x20, 1)]


def damaged_indexes(mdx):
    """The first tag's key length changed, its root counting no keys, its root and its first
    child (or first record) beyond the file."""
    tag_size = mdx[26]
    header = le32(mdx, 512 + tag_size) * 512
    root = le32(mdx, header) * 512
    beyond = len(mdx) // 512 + 64
    return [put(mdx, header + 12, max(1, le16(mdx, header + 12) - 1), 2),
            put(mdx, root, 0, 4),
            put(mdx, header, beyond, 4),
            put(mdx, root + 8, beyond, 4)]


def main():
    transorbelin, dbfcheck = sys.argv[1], sys.argv[2]
    out = os.path.join("tests", "fuzz", "corpus", "tabla")
    os.makedirs(out, exist_ok=True)
    seeds = []
    with tempfile.TemporaryDirectory() as tmp:
        drive = os.path.join(tmp, "c")
        ztemp = os.path.join(drive, "ZTEMP")
        os.makedirs(ztemp)
        zare = os.path.join(tmp, "zare")
        shutil.copytree(os.path.join("samples", "zare"), zare)
        subprocess.run([transorbelin, "--unidad-c", drive, "importar", zare, "2026",
                        os.path.join("samples", "niveles.csv")], check=True, stdout=subprocess.DEVNULL)
        for name in ("CURSOST", "PROFT", "AULAT", "ASIGNOMT", "GRUPOST", "CONVOCAZARE"):
            dbf = read(find(ztemp, name + ".DBF"))
            mdx_path = find(ztemp, name + ".MDX")
            mdx = read(mdx_path) if mdx_path else b""
            seeds.append(pack(0, dbf, mdx))
            seeds.append(pack(3, dbf, mdx))
            if name == "PROFT":
                seeds += [pack(2, bad, mdx) for bad in damaged_headers(dbf)]
                seeds += [pack(options, dbf, bad) for bad in damaged_indexes(mdx) for options in (0, 3)]
        # The template: built by the export when missing; the export itself fails here without
        # SOLUC, after the template is made.
        subprocess.run([transorbelin, "--unidad-c", drive, "exportar", zare],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        seeds.append(pack(2, read(find(ztemp, "PLANTILLA.DBF")), read(find(ztemp, "PLANTILLA.MDX"))))

        rows = "".join("C%d\t%d\t%d.5\t%s\n" % (i, i * 7 % 13, i, "T" if i % 2 else "F") for i in range(12))
        for level in ("3", "4", "7"):
            path = os.path.join(tmp, "t%s.dbf" % level)
            subprocess.run([dbfcheck, "create", path, level, "COD:C:6,NUM:N:5:0,HORA:N:6:1,ESTA:L",
                            "COD:COD,NUM:NUM"], input=rows.encode(), check=True)
            seeds.append(pack(1, read(path), read(path[:-4] + ".mdx")))
            seeds.append(pack(2, read(path), b""))
            if level == "3":
                seeds += [pack(2, bad, b"") for bad in damaged_headers(read(path))]
            if level == "7":
                seeds += [pack(2, read(path), bad) for bad in damaged_indexes(read(path[:-4] + ".mdx"))]

    for old in os.listdir(out):
        os.remove(os.path.join(out, old))
    for i, seed in enumerate(seeds):
        with open(os.path.join(out, "tabla%02d" % i), "wb") as f:
            f.write(seed)
    print("%d seeds in %s" % (len(seeds), out))


if __name__ == "__main__":
    main()
