#!/usr/bin/env python3
"""Whole runs of transorbelin on a region's data set, at full size and at a quarter of it.

For each size, in a temporary folder: writes the ZARE CSV files (generate.py), times the
import (`transorbelin importar`), reads back the tables it wrote through dbfcheck (TDbf, another
dBASE engine), writes the SOLUC and DIASHORAST that Orbelin would compute from them (with
dbfcheck, at dBASE level 4), and times the export (`transorbelin exportar`), checking that
HORARIO.CSV has every line it should. Each run is repeated and the best time kept; peak
resident memory is measured on one more run under GNU time, a small process of its own: the
kernel's figure for a child of this script would count this script's memory too, as the child
is a copy of it until it starts the program.

At full size it also times TDbf appending the very records of every table the import and the
export wrote into tables of the same layouts (dbfcheck create, tags included), and prints our
whole run's time divided by TDbf's writing time.

Usage: bench/region/run.py --bin build/bin --dbfcheck PATH [--repeat N] [--keep DIR] [--strict]
Exit status 2 when a run fails; with --strict, 1 when a target is missed; else 0.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate  # noqa: E402

IMPORT_TABLES = ["CONVOCAZARE.DBF", "CURSOST.DBF", "GRUPOST.DBF", "ASIGNOMT.DBF", "ASIGNOMT2.DBF",
                 "PROFT.DBF", "AULAT.DBF", "ASIGT.DBF"]
EXPORT_TABLES = ["HORARIOZARECSV.DBF"]
SOLUC_FIELDS = ("ASIG:C:10,PROF:C:10,CODGRUPO:C:10,AULA:C:10,DIA:N:1:0,HORA:N:4:1,"
                "SESIONES:N:4:1,TURNO:C:1,NIVEL:C:5,CURSO:C:3,GRUPO:C:2")
DIASHORAST_FIELDS = "DIA:N:1:0,HORA:N:2:0,HORADESDE:C:5,HORAHASTA:C:5"

TARGET_FLOOR_RATIO = 4.0
WRITE_CALLS = ("write", "pwrite64", "writev", "pwritev", "pwritev2")
TARGET_SECONDS = 1.0
TARGET_SCALING = 4.5
TARGET_MEGABYTES = 200


class RunFailed(Exception):
    pass


def timed(cmd, stdin_bytes=None):
    """Runs `cmd`; answers (seconds, stdout bytes)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, tempfile.TemporaryFile() as inp:
        if stdin_bytes is not None:
            inp.write(stdin_bytes)
            inp.seek(0)
        start = time.perf_counter()
        child = subprocess.Popen(cmd, stdin=inp, stdout=out, stderr=err)
        _, status, _ = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read(), err.read()
    if child.returncode != 0:
        raise RunFailed("%s: exit %d\n%s%s" % (" ".join(cmd), child.returncode,
                                                stdout.decode("utf-8", "replace"),
                                                stderr.decode("utf-8", "replace")))
    return seconds, stdout


def peak_memory(cmd):
    """Peak resident bytes of one run of `cmd`, as GNU time reports it."""
    with tempfile.NamedTemporaryFile() as report:
        timed(["/usr/bin/time", "-f", "%M", "-o", report.name] + cmd)
        return int(report.read().split()[-1]) * 1024


def settled():
    """Writes back what earlier runs left dirty in the page cache, so that the disk's catching up
    with them does not fall into the time of the next run (on this machine it doubled some)."""
    os.sync()


def best_of(repeat, cmd):
    """The best time of `repeat` runs, and the peak memory of one more."""
    return best_time(repeat, cmd), peak_memory(cmd)


def best_time(repeat, cmd):
    best = None
    for _ in range(repeat):
        settled()
        seconds = timed(cmd)[0]
        best = seconds if best is None else min(best, seconds)
    return best


def wine_path(path):
    """A Linux path as a Windows program under Wine names it: on drive Z:, the Linux root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    """The Windows build under Wine, in a prefix of its own, with one wineserver for the whole
    benchmark so that each run does not pay Wine's start-up."""

    def __init__(self, windows_bin):
        self.exe = os.path.join(windows_bin, "transorbelin.exe")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(os.path.dirname(os.path.abspath(windows_bin)), "wine"),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("TRANSORBELIN_UNIDAD_C", None)
        os.environ.update(self.env)
        if not os.path.exists(os.path.join(self.env["WINEPREFIX"], "system.reg")):
            os.makedirs(self.env["WINEPREFIX"], exist_ok=True)
            subprocess.run(["wineboot", "--init"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.server = subprocess.Popen(["wineserver", "-p", "-f"])
        subprocess.run(["wine", "cmd", "/c", "exit"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def command(self, drive, *args):
        return ["wine", self.exe, "--unidad-c", wine_path(drive)] + list(args)

    def close(self):
        self.server.kill()
        subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)


def output_files(folder, names):
    """The files among `names` (and their production indexes) that a run left in `folder`."""
    paths = []
    for name in names:
        for candidate in (name, name[:-4] + ".MDX"):
            paths += [os.path.join(folder, e) for e in os.listdir(folder) if e.upper() == candidate.upper()]
    return paths


def floor_seconds(repeat, paths, scratch):
    """The best time of writing the bytes of `paths`, one after the other, into a new file with
    plain buffered writes: what the machine needs to put that output on disk at all."""
    data = b"".join(open(p, "rb").read() for p in paths)
    target = os.path.join(scratch, "floor.bin")
    best = None
    for _ in range(repeat):
        settled()
        start = time.perf_counter()
        with open(target, "wb") as f:
            for i in range(0, len(data), 1 << 20):
                f.write(data[i:i + (1 << 20)])
        seconds = time.perf_counter() - start
        os.remove(target)
        best = seconds if best is None else min(best, seconds)
    return best, len(data)


def write_calls(cmd):
    """The write system calls of one run of `cmd`, counted by `strace -c -f`; None without strace."""
    if not shutil.which("strace"):
        return None
    with tempfile.NamedTemporaryFile() as report:
        timed(["strace", "-c", "-f", "-o", report.name, "-e", "trace=" + ",".join(WRITE_CALLS)] + cmd)
        calls = 0
        for line in report.read().decode().splitlines():
            fields = line.split()
            if fields and fields[-1] in WRITE_CALLS and len(fields) >= 5:
                calls += int(fields[3])
        return calls


def find_table(folder, name):
    for entry in os.listdir(folder):
        if entry.upper() == name.upper():
            return os.path.join(folder, entry)
    raise RunFailed("no table " + name + " in " + folder)


class Dump:
    """A table as dbfcheck (TDbf) reads it: field specs for `dbfcheck create`, its tags and its
    records as tab-separated lines of the bytes stored."""

    def __init__(self, dbfcheck, path):
        self.specs, self.names, self.lines = [], [], []
        _, out = timed([dbfcheck, "dump", path])
        for line in out.split(b"\n"):
            parts = line.split(b"\t")
            if parts[0] == b"field":
                name, kind, size, decimals = (p.decode("ascii") for p in parts[1:5])
                self.names.append(name)
                if kind == "C":
                    self.specs.append("%s:C:%s" % (name, size))
                elif kind in ("N", "F"):
                    self.specs.append("%s:%s:%s:%s" % (name, kind, size, decimals))
                else:
                    self.specs.append("%s:%s" % (name, kind))
            elif parts[0] == b"record":
                self.lines.append(b"\t".join(parts[1:]))
        _, out = timed([dbfcheck, "tags", path])
        self.tags = []
        for line in out.decode("ascii").split("\n"):
            parts = line.split("\t")
            if parts[0] == "tag":
                self.tags.append("%s:%s" % (parts[1], parts[2].split()[0]))

    def rows(self):
        return [dict(zip(self.names, (v.decode("cp1252") for v in line.split(b"\t")))) for line in self.lines]


def tdbf_writing(dbfcheck, folder, names, scratch):
    """Seconds TDbf takes to append the records of the tables `names` in `folder` into new tables
    of the same layouts and tags; answers (seconds, records)."""
    total, records = 0.0, 0
    for name in names:
        dump = Dump(dbfcheck, find_table(folder, name))
        target = os.path.join(scratch, name)
        for leftover in (target, target[:-4] + ".MDX"):
            if os.path.exists(leftover):
                os.remove(leftover)
        cmd = [dbfcheck, "create", target, "7", ",".join(dump.specs)]
        if dump.tags:
            cmd.append(",".join(dump.tags))
        seconds, _ = timed(cmd, b"".join(line + b"\n" for line in dump.lines))
        total += seconds
        records += len(dump.lines)
    return total, records


def write_orbelin_tables(dbfcheck, ztemp, entries, slots):
    def tsv(rows, fields):
        names = [f.split(":")[0] for f in fields.split(",")]
        return "".join("\t".join(str(r[n]) for n in names) + "\n" for r in rows).encode("cp1252")

    timed([dbfcheck, "create", os.path.join(ztemp, "SOLUC.DBF"), "4", SOLUC_FIELDS], tsv(entries, SOLUC_FIELDS))
    timed([dbfcheck, "create", os.path.join(ztemp, "DIASHORAST.DBF"), "4", DIASHORAST_FIELDS],
          tsv(slots, DIASHORAST_FIELDS))


def count_records(dbfcheck, ztemp, names):
    return sum(len(Dump(dbfcheck, find_table(ztemp, n)).lines) for n in names)


def one_size(args, root, scale):
    zare = os.path.join(root, "zare")
    drive = os.path.join(root, "unidad-c")
    ztemp = os.path.join(drive, "ZTEMP")
    os.makedirs(zare)
    os.makedirs(ztemp)
    lines = generate.csv_files(zare, scale)
    transorbelin = os.path.join(args.bin, "transorbelin")
    result = {"scale": scale, "input_lines": sum(lines.values())}

    import_cmd = [transorbelin, "--unidad-c", drive, "importar", zare, generate.CALL, os.path.join(zare, "niveles.csv")]
    result["import_s"], result["import_rss"] = best_of(args.repeat, import_cmd)
    tables = {n: Dump(args.dbfcheck, find_table(ztemp, n)).rows()
              for n in ("GRUPOST.DBF", "ASIGNOMT2.DBF", "PROFT.DBF", "AULAT.DBF")}
    result["import_records"] = count_records(args.dbfcheck, ztemp, IMPORT_TABLES)
    result["asigt"] = count_records(args.dbfcheck, ztemp, ["ASIGT.DBF"])

    entries, slots = generate.timetable(tables, scale)
    write_orbelin_tables(args.dbfcheck, ztemp, entries, slots)
    result["soluc"] = len(entries)
    export_cmd = [transorbelin, "--unidad-c", drive, "exportar", zare]
    result["export_s"], result["export_rss"] = best_of(args.repeat, export_cmd)
    with open(find_table(zare, "HORARIO.CSV"), "rb") as f:
        written = f.read().count(b"\r\n")
    expected = generate.expected_lines(entries, tables)
    if written != expected:
        raise RunFailed("HORARIO.CSV has %d lines, %d expected" % (written, expected))
    result["export_lines"] = written

    if args.wine:
        # The same runs by the Windows build, over the same data set and tables.
        result["wine_import_s"] = best_time(args.repeat, args.wine.command(
            drive, "importar", wine_path(zare), generate.CALL, wine_path(os.path.join(zare, "niveles.csv"))))
        result["wine_export_s"] = best_time(args.repeat, args.wine.command(drive, "exportar", wine_path(zare)))
        with open(find_table(zare, "HORARIO.CSV"), "rb") as f:
            if f.read().count(b"\r\n") != expected:
                raise RunFailed("HORARIO.CSV written under Wine has not the %d lines expected" % expected)

    if scale == 1:
        scratch = os.path.join(root, "tdbf")
        os.makedirs(scratch)
        for kind, paths, cmd in (
                ("import", output_files(ztemp, IMPORT_TABLES), import_cmd),
                ("export", output_files(ztemp, EXPORT_TABLES) + [find_table(zare, "HORARIO.CSV")], export_cmd)):
            result["floor_%s_s" % kind], result["floor_%s_bytes" % kind] = floor_seconds(args.repeat, paths, scratch)
            result["%s_write_calls" % kind] = write_calls(cmd)
        result["tdbf_import_s"], result["tdbf_import_records"] = tdbf_writing(
            args.dbfcheck, ztemp, IMPORT_TABLES, scratch)
        result["tdbf_export_s"], result["tdbf_export_records"] = tdbf_writing(
            args.dbfcheck, ztemp, EXPORT_TABLES, scratch)
    return result


def report(full, quarter, repeat):
    ok = True

    def verdict(good):
        nonlocal ok
        ok = ok and good
        return "ok" if good else "MISSED"

    mb = 1024 * 1024
    print("Region data set, whole runs of transorbelin (best of %d runs each)" % repeat)
    print("  full size: %d input lines; import writes %d records (ASIGT %d); SOLUC %d entries, "
          "HORARIO.CSV %d lines" % (full["input_lines"], full["import_records"], full["asigt"],
                                    full["soluc"], full["export_lines"]))
    print("  %-7s %10s %16s %16s %10s %16s %8s" % ("", "full s", "per second", "records/s",
                                                   "quarter s", "per second", "scaling"))
    for kind, unit, count_key, rec_key in (("import", "lines", "input_lines", "import_records"),
                                           ("export", "entries", "soluc", "export_lines")):
        f, q = full[kind + "_s"], quarter[kind + "_s"]
        print("  %-7s %10.3f %10.0f %-5s %16.0f %10.3f %10.0f %-5s %8.2f" % (
            kind, f, full[count_key] / f, unit, full[rec_key] / f, q, quarter[count_key] / q, unit, f / q))
    print()
    for kind in ("import", "export"):
        seconds = full[kind + "_s"]
        scaling = seconds / quarter[kind + "_s"]
        rss = full[kind + "_rss"] / mb
        print("  %s: %.3f s at full size (target < %.1f s) %s; scaling %.3f (target < %.1f) %s; "
              "peak memory %.1f MB (target < %d MB) %s" % (
                  kind, seconds, TARGET_SECONDS, verdict(seconds < TARGET_SECONDS), scaling, TARGET_SCALING,
                  verdict(scaling < TARGET_SCALING), rss, TARGET_MEGABYTES, verdict(rss < TARGET_MEGABYTES)))
    print()
    print("The floor: the same output bytes written with plain buffered writes (target: a run within %.0f times it)"
          % TARGET_FLOOR_RATIO)
    for kind in ("import", "export"):
        ours, floor = full[kind + "_s"], full["floor_%s_s" % kind]
        calls = full["%s_write_calls" % kind]
        print("  %s: %.1f MB in %.3f s; our run %.3f s = %.1f times the floor %s; %s" % (
            kind, full["floor_%s_bytes" % kind] / mb, floor, ours, ours / floor,
            verdict(ours <= TARGET_FLOOR_RATIO * floor),
            "%d write system calls" % calls if calls is not None else "write calls not counted (no strace)"))
    print()
    print("TDbf (Free Pascal, dbfcheck create) appending the same records into the same table layouts:")
    for kind in ("import", "export"):
        ours, theirs = full[kind + "_s"], full["tdbf_%s_s" % kind]
        print("  %s tables: %d records, TDbf %.3f s; our whole %s run %.3f s; ours / TDbf = %.2f %s" % (
            kind, full["tdbf_%s_records" % kind], theirs, kind, ours, ours / theirs, verdict(ours < theirs)))
    if "wine_import_s" in full:
        print()
        print("The Windows build (transorbelin.exe) under Wine, same data sets (best of %d runs each):" % repeat)
        for kind in ("import", "export"):
            linux, wine = full[kind + "_s"], full["wine_%s_s" % kind]
            print("  %s: %.3f s at full size, %.3f s at a quarter; Wine / Linux = %.2f" % (
                kind, wine, quarter["wine_%s_s" % kind], wine / linux))
    return ok


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", required=True, help="folder of the built transorbelin")
    parser.add_argument("--dbfcheck", required=True, help="path of the built dbfcheck")
    parser.add_argument("--repeat", type=int, default=5, help="runs of each timing (best kept)")
    parser.add_argument("--strict", action="store_true", help="exit status 1 when a target is missed")
    parser.add_argument("--keep", help="write the data sets here and keep them")
    parser.add_argument("--windows-bin", help="folder of the Windows build's transorbelin.exe, timed under Wine too")
    args = parser.parse_args()
    args.wine = Wine(args.windows_bin) if args.windows_bin else None

    root = args.keep or tempfile.mkdtemp(prefix="transorbelin-region.")
    try:
        if args.keep and os.path.exists(root):
            shutil.rmtree(root)
        full = one_size(args, os.path.join(root, "full"), 1)
        quarter = one_size(args, os.path.join(root, "quarter"), 0.25)
        met = report(full, quarter, args.repeat)
        return 0 if met or not args.strict else 1
    except RunFailed as e:
        print("region benchmark: " + str(e), file=sys.stderr)
        return 2
    finally:
        if args.wine:
            args.wine.close()
        if not args.keep:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
