#!/usr/bin/env python3
"""A region's worth of ZARE data for the whole-run benchmark, and the timetable Orbelin would
compute from its import.

  csv_files(folder, scale)        the eight ZARE CSV files and niveles.csv
  timetable(tables, scale)        SOLUC entries and DIASHORAST rows, from the tables the import
                                  wrote (groups, offer, teachers, classrooms), so every code in
                                  SOLUC is one the import handed out

At scale 1: 200 courses, 2,000 groups, 4,000 subgroups, 20,000 subject lines (15,000 in the
centre's file, 5,000 in the general one), 2,000 activities, 3,000 teacher lines (2,000 teachers),
1,000 classrooms, and a SOLUC of 100,000 entries. Every count is multiplied by the scale.

The data is fully determined by the scale (fixed random seeds). It has what real files have:
accented names in UTF-8 with a byte-order mark on one file, quoted values with commas, courses
that share level and course codes (so group codes collide and get letters), teachers whose
capitals collide (numbered codes), subjects offered in many courses (one catalogue row, many
offer rows), subjects linked to activities, teachers on several lines.
"""

import os
import random

CALL = "2026"
GROUPS_PER_COURSE = 10
SUBGROUPS_PER_GROUP = 2
CENTRE_SUBJECTS_PER_COURSE = 75
GENERAL_SUBJECTS_PER_COURSE = 25
LONG_CODES_PER_COURSE = 10        # distinct long codes in the catalogue per course
GROUP_NAMES = "ABCDEFGHIJ"

SURNAMES = ["Álvarez", "Barreiro", "Castro", "Domínguez", "Fernández", "García", "Iglesias",
            "López", "Martínez", "Núñez", "Otero", "Pereira", "Quintela", "Rodríguez", "Souto",
            "Troncoso", "Vázquez", "Xerez", "Abelleira", "Bouzas", "Carballo", "Dopazo",
            "Estévez", "Fraga", "Gómez", "Haz", "Lema", "Mouriño", "Novoa", "Outeiral"]
GIVEN = ["Ana", "Brais", "Carme", "Diego", "Eva", "Fernando", "Iria", "Xoán", "Lucía", "Manuel",
         "Noa", "Óscar", "Paula", "Roi", "Sabela", "Tomás", "Uxía", "Xiana", "Antía", "Breixo",
         "Cristina", "David", "Elena", "Fátima", "Gael", "Helena", "Iago", "Laura", "Martiño",
         "Nerea"]
STAGES = ["Educación Secundaria", "Bacharelato", "Ciclo Medio de FP", "Ciclo Superior de FP",
          "Réxime Especial"]


def counts(scale):
    courses = max(1, round(200 * scale))
    return {
        "courses": courses,
        "groups": courses * GROUPS_PER_COURSE,
        "subgroups": courses * GROUPS_PER_COURSE * SUBGROUPS_PER_GROUP,
        "subject_lines": courses * (CENTRE_SUBJECTS_PER_COURSE + GENERAL_SUBJECTS_PER_COURSE),
        "activities": round(2000 * scale),
        "teacher_lines": round(3000 * scale),
        "teachers": round(2000 * scale),
        "classrooms": round(1000 * scale),
        "soluc": round(100000 * scale),
    }


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def write(folder, name, header, rows, bom=False):
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="") as f:
        if bom:
            f.write("\ufeff")
        f.write(header + "\r\n")
        for row in rows:
            f.write(",".join(row) + "\r\n")
    return len(rows)


def course_code(i):
    return "C%03d-%s" % (i, ["ESO", "BAC", "FPM", "FPS", "ERE"][i % 5])


def course_name(i):
    return "%dº de %s, itinerario %d" % (i // 2 % 4 + 1, STAGES[i % 5], i)   # fits NOMECURSO


def csv_files(folder, scale):
    """Writes the ZARE files and niveles.csv into `folder`; answers the data lines written per file."""
    n = counts(scale)
    rnd = random.Random(7)
    lines = {}
    lines["convocatoriasCentro.csv"] = write(folder, "convocatoriasCentro.csv", "convocatoria,descripcion", [
        [CALL, quoted("Curso 2025/2026, ordinaria")],
        ["2026E", quoted("Curso 2025/2026, extraordinaria")],
        ["2025", quoted("Curso 2024/2025")],
    ])

    # Courses come in pairs with the same level and course codes, as the branches of one
    # Bacharelato year do, so the second course's groups find their codes taken.
    niveles = []
    groups = []
    for c in range(n["courses"]):
        niveles.append([quoted(course_code(c)), quoted(course_name(c)), quoted("MT"[c % 2]),
                        quoted("N%03d" % (c // 2)), quoted(str(c // 2 % 4 + 1))])
        for g in range(GROUPS_PER_COURSE):
            name = GROUP_NAMES[g]
            groups.append((course_code(c), "26-%05d" % len(groups), name, course_name(c),
                           "%dº%s %s" % (c // 2 % 4 + 1, course_code(c)[5:], name)))
    write(folder, "niveles.csv", "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO", niveles)
    lines["gruposCentro.csv"] = write(
        folder, "gruposCentro.csv",
        "convocatoria,codigoCurso,codigoGrupo,nomeGrupo,nomeCurso,nomeAbreviadoGrupo",
        [[CALL, course, code, name, quoted(cname), quoted(short)]
         for course, code, name, cname, short in groups])

    subgroups = []
    for _, code, name, cname, short in groups:
        for s in range(SUBGROUPS_PER_GROUP):
            subgroups.append([code, "26-SG-%05d" % len(subgroups), quoted(short),
                              quoted("Desdobre de laboratorio %d" % (s + 1)),
                              quoted("%s-L%d" % (short.replace(" ", ""), s + 1))])
    lines["subgruposCentro.csv"] = write(
        folder, "subgruposCentro.csv",
        "codigoGrupo,codigoSubgrupo,descricion,nomeSubgrupo,nomeAbreviadoSubgrupo", subgroups)

    # Subjects: each course offers 100 distinct long codes, drawn from a catalogue of ten per
    # course, so each long code is offered in ten courses. One line in ten links an activity.
    catalogue = n["courses"] * LONG_CODES_PER_COURSE
    centre, general = [], []
    for c in range(n["courses"]):
        per_course = CENTRE_SUBJECTS_PER_COURSE + GENERAL_SUBJECTS_PER_COURSE
        for j in range(per_course):
            k = (c * LONG_CODES_PER_COURSE + j) % catalogue
            long_code = "M%05d" % k if k % 3 else "Mat%04d" % k
            activity = "0"
            if j % 10 == 3 and n["activities"]:
                activity = "T%04d" % ((c * 7 + j) % n["activities"])
            row = ["%06d" % (len(centre) + len(general) + 100000), course_code(c), activity, long_code,
                   quoted("Materia %d de %s" % (k, STAGES[k % 5])), "M%d" % k]
            (centre if j < CENTRE_SUBJECTS_PER_COURSE else general).append(row)
    lines["materiasHorarioOfertaCentro.csv"] = write(
        folder, "materiasHorarioOfertaCentro.csv",
        "codigoMateria,codigoCurso,codigoActividade,codigoLargo,nome,abreviatura", centre)
    lines["materiasHorarioOfertaXeral.csv"] = write(
        folder, "materiasHorarioOfertaXeral.csv",
        "codigoMateria,codigoCurso,codigoActividade,codigoLargo,nome,abreviatura", general)

    lines["actividadesProfesor.csv"] = write(
        folder, "actividadesProfesor.csv", "codigo,codigoLargo,nome",
        [["T%04d" % a, "ACT%04d" % a, quoted("Garda de %s %d" % (["aula", "recreo", "biblioteca"][a % 3], a))]
         for a in range(n["activities"])])

    # Teachers: a first line for each, then further lines for some (a teacher of two groups).
    teachers = []
    for t in range(n["teachers"]):
        name = "%s %s, %s" % (rnd.choice(SURNAMES), rnd.choice(SURNAMES), rnd.choice(GIVEN))
        teachers.append(("%06d" % (500000 + t * 7), name))
    teacher_lines = []
    for i in range(n["teacher_lines"]):
        employee, name = teachers[i] if i < len(teachers) else teachers[rnd.randrange(len(teachers))]
        teacher_lines.append([employee, groups[i % len(groups)][1], quoted(name)])
    lines["profesoresGrupoCentro.csv"] = write(
        folder, "profesoresGrupoCentro.csv", "codigoEmpregado,codigoGrupo,nomeProfesor", teacher_lines)

    lines["aulasCentro.csv"] = write(
        folder, "aulasCentro.csv", "codigo,nome",
        [["A%04d" % r if r % 5 else "LAB%03d" % r, quoted("Aula %d, andar %d" % (r, r % 4))]
         for r in range(n["classrooms"])], bom=True)
    return lines


def timetable(tables, scale):
    """SOLUC entries and DIASHORAST rows (lists of dicts) from the import's tables, given as
    lists of dicts of field name to text: GRUPOST.DBF, ASIGNOMT2.DBF, PROFT.DBF, AULAT.DBF."""
    n = counts(scale)
    rnd = random.Random(2026)
    groups = tables["GRUPOST.DBF"]
    offer = {}
    for row in tables["ASIGNOMT2.DBF"]:
        if row["CODCURSO"]:
            offer.setdefault(row["CODCURSO"], []).append(row["COD"])
    teachers = [t["ABREV"] for t in tables["PROFT.DBF"]]
    rooms = [r["ABREV"] for r in tables["AULAT.DBF"]]
    usable = [g for g in groups if offer.get(g["CODCURSOZARE"])]
    entries = []
    for i in range(n["soluc"]):
        group = usable[rnd.randrange(len(usable))]
        subject = rnd.choice(offer[group["CODCURSOZARE"]])
        teacher = rnd.choice(teachers)
        day = rnd.randint(1, 5)
        roll = rnd.random()
        if roll < 0.60:
            hour, sessions = rnd.randint(1, 20), 1
        elif roll < 0.92:
            hour, sessions = rnd.randint(1, 19), 2
        elif roll < 0.96:
            hour, sessions = rnd.randint(1, 18) + rnd.choice([0, 0.5]), 1.5   # a 90-minute block
        elif roll < 0.98:
            hour, sessions, day = rnd.randint(1, 20), 1, 0                     # not placed
        elif roll < 0.99:
            hour, sessions, teacher = rnd.randint(1, 20), 1, "NOPROF"         # unknown teacher
        else:
            hour, sessions = rnd.randint(1, 20), 1
            subject = "NOASIG"                                                # unknown subject
        entries.append({
            "ASIG": subject, "PROF": teacher, "CODGRUPO": group["ABREV"], "AULA": rnd.choice(rooms),
            "DIA": day, "HORA": hour, "SESIONES": sessions, "TURNO": group["TURNO"],
            "NIVEL": group["NIVEL"], "CURSO": group["CURSO"], "GRUPO": group["GRUPO"],
        })
    slots = []
    for day in range(1, 6):
        for slot in range(1, 41):
            minutes = 8 * 60 + (slot - 1) * 30
            slots.append({"DIA": day, "HORA": slot,
                          "HORADESDE": "%02d:%02d" % (minutes // 60 % 24, minutes % 60),
                          "HORAHASTA": "%02d:%02d" % ((minutes + 30) // 60 % 24, (minutes + 30) % 60)})
    return entries, slots


def expected_lines(entries, tables):
    """The lines the export writes for `entries`: entries with a day, a known teacher and a
    subject offered under the group's course; a fractional entry writes one line."""
    teachers = {t["ABREV"] for t in tables["PROFT.DBF"]}
    course_of = {}
    for g in tables["GRUPOST.DBF"]:
        course_of.setdefault(g["ABREV"], g["CODCURSOZARE"])
    offered = {(r["COD"], r["CODCURSO"]) for r in tables["ASIGNOMT2.DBF"]}
    total = 0
    for e in entries:
        if e["DIA"] == 0 or e["PROF"] not in teachers:
            continue
        if (e["ASIG"], course_of.get(e["CODGRUPO"], "")) not in offered:
            continue
        sessions = e["SESIONES"]
        total += 1 if sessions != int(sessions) else int(sessions)
    return total
