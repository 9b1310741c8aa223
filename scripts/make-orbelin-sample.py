#!/usr/bin/env python3
"""Writes samples/orbelin/: the timetable that Orbelin would have computed for the sample
centre of samples/zare (call 2026), as the two tables the export reads from ZTEMP:

  SOLUC.DBF       one entry per teaching block: subject, teacher, group, classroom, day,
                  first hour and number of consecutive hours
  DIASHORAST.DBF  the start time of every half-hour slot of each weekday

Both are written at dBASE level 4 by dbfcheck (Free Pascal's TDbf), another engine than ours.

The codes in SOLUC must be the ones our import hands out (group ABREV, subject COD, teacher
ABREV), so the script first runs the import of samples/zare with niveles.csv in a scratch
folder and reads GRUPOST, ASIGNOMT2, PROFT and AULAT back through dbfcheck.

Usage: scripts/make-orbelin-sample.py [--transorbelin PATH] [--dbfcheck PATH] [REPO_DIR]
  (defaults: REPO_DIR/build/bin/transorbelin, and dbfcheck built into a scratch folder)

The output is fully determined by the sample centre and this script (fixed random seed).
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

CALL = "2026"
DAYS = [1, 2, 3, 4, 5]
MORNING = [1, 2, 3, 4, 5, 6]          # 08:00 to 13:00 in the template as built
AFTERNOON = [9, 10, 11, 12, 13, 14]   # 16:00 to 21:00
MAX_TEACHER_HOURS = 24                # a full-time teacher's hours with groups
HOURS_PER_GROUP = 22                  # of the 30 hours of a week; the rest stay free
SEED = 2026

SOLUC_FIELDS = ("ASIG:C:10,PROF:C:10,CODGRUPO:C:10,AULA:C:10,DIA:N:1:0,HORA:N:4:1,"
                "SESIONES:N:4:1,TURNO:C:1,NIVEL:C:5,CURSO:C:3,GRUPO:C:2")
DIASHORAST_FIELDS = "DIA:N:1:0,HORA:N:2:0,HORADESDE:C:5,HORAHASTA:C:5"


def run(cmd, stdin=None):
    r = subprocess.run(cmd, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if r.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), r.stdout.decode("cp1252", "replace"),
                                       r.stderr.decode("cp1252", "replace")))
    return r.stdout


def dump(dbfcheck, path):
    """The records of a table as dicts of field name to text (Windows-1252 decoded)."""
    names, rows = [], []
    for line in run([dbfcheck, "dump", path]).decode("cp1252").split("\n"):
        parts = line.split("\t")
        if parts[0] == "field":
            names.append(parts[1])
        elif parts[0] == "record":
            rows.append(dict(zip(names, parts[1:])))
    return rows


def find_table(folder, name):
    for entry in os.listdir(folder):
        if entry.upper() == name.upper():
            return os.path.join(folder, entry)
    sys.exit("the import did not write " + name)


def read_csv_pairs(path):
    """(employee code, group code) of profesoresGrupoCentro.csv; its values hold no commas
    outside quotes before the name, so a plain split of the first two columns is enough."""
    pairs = []
    with open(path, encoding="utf-8-sig") as f:
        next(f)
        for line in f:
            cols = line.rstrip("\r\n").split(",")
            if len(cols) >= 2:
                pairs.append((cols[0], cols[1]))
    return pairs


def import_sample(repo, transorbelin, dbfcheck, scratch):
    drive = os.path.join(scratch, "unidad-c")
    ztemp = os.path.join(drive, "ZTEMP")
    os.makedirs(ztemp)
    zare = os.path.join(scratch, "zare")
    shutil.copytree(os.path.join(repo, "samples", "zare"), zare)
    run([transorbelin, "--unidad-c", drive, "importar", zare, CALL,
         os.path.join(repo, "samples", "niveles.csv")])
    tables = {}
    for name in ("GRUPOST.DBF", "ASIGNOMT2.DBF", "PROFT.DBF", "AULAT.DBF"):
        tables[name] = dump(dbfcheck, find_table(ztemp, name))
    return tables


class Timetable:
    def __init__(self):
        self.entries = []   # dicts in SOLUC's field names
        self.busy = set()   # (kind, code, day, hour) taken
        self.load = {}      # teacher code: hours taught

    def free(self, day, hours, *holders):
        return all((k, c, day, h) not in self.busy for k, c in holders for h in hours)

    def take(self, day, hours, *holders):
        for k, c in holders:
            for h in hours:
                self.busy.add((k, c, day, h))
                if k == "p":
                    self.load[c] = self.load.get(c, 0) + 1

    def add(self, subject, teacher, group, room, day, hour, sessions):
        self.entries.append({
            "ASIG": subject, "PROF": teacher, "CODGRUPO": group["ABREV"] if group else "",
            "AULA": room, "DIA": day, "HORA": hour, "SESIONES": sessions,
            "TURNO": group["TURNO"] if group else "", "NIVEL": group["NIVEL"] if group else "",
            "CURSO": group["CURSO"] if group else "", "GRUPO": group["GRUPO"] if group else "",
        })


def build(tables, repo):
    rnd = random.Random(SEED)
    groups = [g for g in tables["GRUPOST.DBF"] if not g.get("CODSUBGRUZARE")]
    subgroups = [g for g in tables["GRUPOST.DBF"] if g.get("CODSUBGRUZARE")]
    offer = tables["ASIGNOMT2.DBF"]
    teachers = tables["PROFT.DBF"]
    rooms = [r["ABREV"] for r in tables["AULAT.DBF"]]
    teacher_by_employee = {t["X_EMPLEADO"]: t["ABREV"] for t in teachers}
    teachers_of_group = {}
    for employee, group_code in read_csv_pairs(
            os.path.join(repo, "samples", "zare", "profesoresGrupoCentro.csv")):
        if employee in teacher_by_employee:
            teachers_of_group.setdefault(group_code, [])
            if teacher_by_employee[employee] not in teachers_of_group[group_code]:
                teachers_of_group[group_code].append(teacher_by_employee[employee])
    all_teachers = [t["ABREV"] for t in teachers]
    subjects_of_course = {}
    activities = []
    for row in offer:
        if row.get("ESTAREA") in ("T", "True", "1", "Y"):
            activities.append(row["COD"])
        elif row["CODCURSO"]:
            subjects_of_course.setdefault(row["CODCURSO"], [])
            if row["COD"] not in subjects_of_course[row["CODCURSO"]]:
                subjects_of_course[row["CODCURSO"]].append(row["COD"])

    tt = Timetable()
    home_rooms = [r for r in rooms if r.startswith("A")] or rooms
    special_rooms = [r for r in rooms if r not in home_rooms] or rooms

    # The afternoon cycle ends Friday with two 90-minute workshop blocks, 19:00 and 20:30:
    # fractional hours, timed by DIASHORAST.
    for group in [g for g in groups if g["TURNO"] == "T"]:
        subjects = subjects_of_course.get(group["CODCURSOZARE"], [])
        staff = teachers_of_group.get(group["CODGRUZARE"]) or all_teachers
        room = special_rooms[-1 - len(tt.entries) // 2 % len(special_rooms)]
        if not subjects or not tt.free(5, [12, 13, 14], ("a", room)):
            continue
        tt.take(5, [12, 13, 14], ("g", group["ABREV"]), ("a", room))
        # The second block starts halfway through hour 13, where the first one ends.
        for k, (hour, span) in enumerate([(12, [12, 13]), (13.5, [13, 14])]):
            for teacher in staff[k:] + staff[:k]:
                if tt.free(5, span, ("p", teacher)):
                    tt.take(5, span, ("p", teacher))
                    tt.add(subjects[-1 - k % len(subjects)], teacher, group, room, 5, hour, 1.5)
                    break

    # Lab and workshop splits, placed first: a two-hour block of each subgroup in a special
    # room, during which its group as a whole has no class.
    parents = {g["CODGRUZARE"]: g for g in groups}
    for i, sub in enumerate(subgroups):
        parent = parents.get(sub["CODGRUZARE"])
        subjects = subjects_of_course.get(sub["CODCURSOZARE"], [])
        if not parent or not subjects:
            continue
        staff = teachers_of_group.get(sub["CODGRUZARE"]) or all_teachers
        hours = AFTERNOON if parent["TURNO"] == "T" else MORNING
        subject = subjects[i % len(subjects)]
        room = special_rooms[i % len(special_rooms)]
        placed = False
        start = groups.index(parent) % len(DAYS)
        for day in DAYS[start:] + DAYS[:start]:
            for hour in hours[2:-1] + hours[:2]:
                span = [hour, hour + 1]
                for teacher in staff + all_teachers:
                    holders = [("s", sub["ABREV"]), ("p", teacher), ("a", room)]
                    if tt.free(day, span, *holders) and all(
                            (("g", parent["ABREV"], day, h) not in tt.busy
                             or ("s", parent["ABREV"], day, h) in tt.busy) for h in span):
                        tt.take(day, span, *holders)
                        tt.take(day, span, ("g", parent["ABREV"]), ("s", parent["ABREV"]))
                        tt.add(subject, teacher, sub, room, day, hour, 2)
                        placed = True
                        break
                if placed:
                    break
            if placed:
                break

    for index, group in enumerate(groups):
        subjects = subjects_of_course.get(group["CODCURSOZARE"], [])
        if not subjects:
            continue
        staff = teachers_of_group.get(group["CODGRUZARE"]) or all_teachers[:4]
        room = home_rooms[index % len(home_rooms)]
        hours = AFTERNOON if group["TURNO"] == "T" else MORNING
        # Weekly hours per subject, spread over the subjects of the course.
        load = {s: 0 for s in subjects}
        for n in range(HOURS_PER_GROUP):
            load[subjects[n % len(subjects)]] += 1
        teacher_of = {s: staff[i % len(staff)] for i, s in enumerate(subjects)}
        slots = [(d, h) for d in DAYS for h in hours]
        rnd.shuffle(slots)
        for day, hour in slots:
            todo = [s for s in subjects if load[s] > 0]
            if not todo:
                break
            subject = max(todo, key=lambda s: (load[s], rnd.random()))
            length = 2 if load[subject] >= 2 and hour + 1 in hours and rnd.random() < 0.85 else 1
            span = list(range(hour, hour + length))
            if not tt.free(day, span, ("g", group["ABREV"])):
                continue
            # The group's own room when free, else any free one; the subject's teacher when
            # free, else another of the group's teachers, else the least busy colleague.
            where = next((r for r in [room] + home_rooms + special_rooms
                          if tt.free(day, span, ("a", r))), None)
            others = [teacher_of[subject]] + staff + sorted(
                all_teachers, key=lambda t: (tt.load.get(t, 0), t))
            who = next((t for t in others if tt.load.get(t, 0) + length <= MAX_TEACHER_HOURS
                        and tt.free(day, span, ("p", t))), None)
            if where is None or who is None:
                continue
            teacher_of[subject] = who
            tt.take(day, span, ("g", group["ABREV"]), ("p", who), ("a", where))
            tt.add(subject, who, group, where, day, hour, length)
            load[subject] -= length

    # Duties without a group: library and playground watches, and a few department meetings.
    for n, teacher in enumerate(all_teachers[::3]):
        if not activities:
            break
        activity = activities[n % len(activities)]
        start = n % len(DAYS)
        for day, hour in [(d, h) for d in DAYS[start:] + DAYS[:start] for h in MORNING[::-1]]:
            if tt.free(day, [hour], ("p", teacher)):
                tt.take(day, [hour], ("p", teacher))
                tt.add(activity, teacher, None, "", day, hour, 1)
                break

    # Entries the product could not place yet: day 0, left out of the export.
    for group in groups[:3]:
        subjects = subjects_of_course.get(group["CODCURSOZARE"], [])
        if subjects:
            tt.add(subjects[0], all_teachers[0], group, "", 0, 0, 1)

    tt.entries.sort(key=lambda e: (e["DIA"] == 0, e["DIA"], e["HORA"], e["CODGRUPO"] == "",
                                   e["CODGRUPO"]))
    return tt.entries


def number(value):
    return ("%.1f" % value) if isinstance(value, float) else str(value)


def write_tables(dbfcheck, out, entries):
    os.makedirs(out, exist_ok=True)
    for name in os.listdir(out):
        if name.upper().startswith(("SOLUC.", "DIASHORAST.")):
            os.remove(os.path.join(out, name))
    order = [f.split(":")[0] for f in SOLUC_FIELDS.split(",")]
    lines = "".join("\t".join(number(e[f]) for f in order) + "\n" for e in entries)
    run([dbfcheck, "create", os.path.join(out, "SOLUC.DBF"), "4", SOLUC_FIELDS],
        lines.encode("cp1252"))
    # Two slots per teaching hour: slot 2h-1 starts hour h, slot 2h half an hour later.
    slots = []
    for day in DAYS:
        for slot in range(1, 33):
            start = 8 * 60 + (slot - 1) * 30
            end = start + 30
            slots.append("%d\t%d\t%02d:%02d\t%02d:%02d\n" % (
                day, slot, start // 60 % 24, start % 60, end // 60 % 24, end % 60))
    run([dbfcheck, "create", os.path.join(out, "DIASHORAST.DBF"), "4", DIASHORAST_FIELDS],
        "".join(slots).encode("cp1252"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("repo", nargs="?",
                        default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser.add_argument("--transorbelin")
    parser.add_argument("--dbfcheck")
    args = parser.parse_args()
    repo = os.path.abspath(args.repo)
    transorbelin = args.transorbelin or os.path.join(repo, "build", "bin", "transorbelin")
    if not os.access(transorbelin, os.X_OK):
        sys.exit("no %s: run make build first" % transorbelin)
    with tempfile.TemporaryDirectory() as scratch:
        dbfcheck = args.dbfcheck or run(
            [os.path.join(repo, "tools", "dbfcheck", "build"), os.path.join(scratch, "dbfcheck")]
        ).decode().strip()
        tables = import_sample(repo, transorbelin, dbfcheck, os.path.join(scratch, "work"))
        entries = build(tables, repo)
        write_tables(dbfcheck, os.path.join(repo, "samples", "orbelin"), entries)
    placed = sum(1 for e in entries if e["DIA"] != 0)
    hours = sum(int(e["SESIONES"]) if e["SESIONES"] == int(e["SESIONES"]) else 1
                for e in entries if e["DIA"] != 0)
    print("samples/orbelin: %d entries (%d placed, %d timetable lines)"
          % (len(entries), placed, hours))


if __name__ == "__main__":
    main()
