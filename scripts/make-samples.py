#!/usr/bin/env python3
"""Writes the sample centre under samples/: the CSV files that ZARE would export for a
made-up secondary school (the invented "IES Fonte das Lousas") and samples/niveles.csv,
the course codes filled in for the main call.

Usage: scripts/make-samples.py [REPO_DIR]      (default: the folder above this script)

The output is fully determined by this script (the one random choice uses a fixed seed).
After writing, every file is read back twice, with Python's csv module and with the
splitting rules of the program's own CSV reader, and each line must give back exactly the
values it was written from.
"""

import csv
import io
import os
import random
import sys

MAIN_CALL = "2026"

# --------------------------------------------------------------------------------------
# Writing

CRLF, LF = "\r\n", "\n"
BOM = "\ufeff"


def needs_quotes(value):
    # An unquoted blank (any code 1..32) splits a field in ZARE's reader, so blanks,
    # commas and quotes all force the value into quotes.
    return any(c in ',"' or ord(c) <= 32 for c in value)


def quote(value, force=False):
    if force or needs_quotes(value):
        return '"' + value.replace('"', '""') + '"'
    return value


def csv_text(header, rows, eol, bom=False, quote_all=False):
    lines = [header] + [",".join(quote(v, quote_all) for v in row) for row in rows]
    return (BOM if bom else "") + eol.join(lines) + eol


# --------------------------------------------------------------------------------------
# Calls

CALLS = [
    ("2026", "Curso 2025/2026, ordinaria"),
    ("2026E", "Curso 2025/2026, extraordinaria"),
    ("2025", "Curso 2024/2025"),
]

# --------------------------------------------------------------------------------------
# Courses and groups of the main call:
# (course code, course name, TURNO, NIVEL, CURSO, [(group name, group short name)])

ESO_NAME = "{}º de Educación Secundaria Obrigatoria"
COURSES = [
    ("1ESO", ESO_NAME.format(1), "M", "ESO", "1", [(g, f"1º ESO {g}") for g in "ABCDE"]),
    ("2ESO", ESO_NAME.format(2), "M", "ESO", "2", [(g, f"2º ESO {g}") for g in "ABCDE"]),
    ("3ESO", ESO_NAME.format(3), "M", "ESO", "3", [(g, f"3º ESO {g}") for g in "ABCD"]),
    ("PDC3", "Programa de diversificación curricular, 3º ESO", "", "PDC", "3",
     [("Diversificación", "3º PDC")]),
    ("4ESO", ESO_NAME.format(4), "M", "ESO", "4", [(g, f"4º ESO {g}") for g in "ABCDE"]),
    ("PDC4", "Programa de diversificación curricular, 4º ESO", "", "PDC", "4",
     [("Diversificación", "4º PDC")]),
    ("1BAC-CT", "1º Bacharelato - Ciencias e Tecnoloxía", "M", "BAC", "1",
     [("A", "1º BAC A"), ("B", "1º BAC B")]),
    ("1BAC-HCS", "1º Bacharelato - Humanidades e Ciencias Sociais", "M", "BAC", "1",
     [("C", "1º BAC C")]),
    ("1BAC-XER", "1º Bacharelato - Xeral", "M", "BAC", "1", [("D", "1º BAC D")]),
    ("1BAC-ART", "1º Bacharelato - Artes", "M", "BAC", "1", [("E", "1º BAC E")]),
    ("2BAC-CT", "2º Bacharelato - Ciencias e Tecnoloxía", "M", "BAC", "2",
     [("A", "2º BAC A"), ("B", "2º BAC B")]),
    ("2BAC-HCS", "2º Bacharelato - Humanidades e Ciencias Sociais", "M", "BAC", "2",
     [("C", "2º BAC C")]),
    ("2BAC-XER", "2º Bacharelato - Xeral", "M", "BAC", "2", [("D", "2º BAC D")]),
    ("2BAC-ART", "2º Bacharelato - Artes", "M", "BAC", "2", [("E", "2º BAC E")]),
    ("1CMXA", "1º CM Xestión Administrativa", "M", "CMXA", "1", [("Único", "1º XA")]),
    ("2CMXA", "2º CM Xestión Administrativa", "M", "CMXA", "2", [("Único", "2º XA")]),
    ("1CMSMR", "1º CM Sistemas Microinformáticos e Redes", "M", "CMSMR", "1",
     [("A", "1º SMR A"), ("B", "1º SMR B")]),
    ("2CMSMR", "2º CM Sistemas Microinformáticos e Redes", "M", "CMSMR", "2",
     [("A", "2º SMR A"), ("B", "2º SMR B")]),
    ("1CSDAW", "1º CS Desenvolvemento de Aplicacións Web", "T", "CSDAW", "1",
     [("A", "1º DAW A"), ("B", "1º DAW B")]),
    ("2CSDAW", "2º CS Desenvolvemento de Aplicacións Web", "T", "CSDAW", "2",
     [("A", "2º DAW A")]),
]
COURSE_NAME = {c[0]: c[1] for c in COURSES}
COURSE_NAME["1FPBSA"] = "1º FP Básica Servizos Administrativos"


def group_code(call, course, name):
    tag = {"Diversificación": "DIV", "Único": "U"}.get(name, name)
    return f"{call[2:]}-{course}-{tag}"


def group_rows():
    """Lines of gruposCentro.csv: the old call first, then the main one, then the
    extraordinary call, each in course order."""
    rows = []
    old = [("1ESO", "A", "1º ESO A"), ("1ESO", "B", "1º ESO B"), ("2ESO", "A", "2º ESO A"),
           ("1FPBSA", "A", "1º FPB A"), ("2BAC-CT", "A", "2º BAC A"),
           ("2CMXA", "Único", "2º XA")]
    for course, name, short in old:
        rows.append(["2025", course, group_code("2025", course, name), name,
                     COURSE_NAME[course], short])
    for course, cname, _t, _n, _c, groups in COURSES:
        for name, short in groups:
            rows.append([MAIN_CALL, course, group_code(MAIN_CALL, course, name), name,
                         cname, short])
    extra = [("2BAC-CT", "A", "2º BAC A"), ("2BAC-HCS", "C", "2º BAC C"),
             ("2CMXA", "Único", "2º XA"), ("2CMSMR", "A", "2º SMR A")]
    for course, name, short in extra:
        rows.append(["2026E", course, group_code("2026E", course, name), name,
                     COURSE_NAME[course], short])
    return rows


# --------------------------------------------------------------------------------------
# Subgroups (desdobres): parent group, subgroup names

SUBGROUPS = [
    ("26-1ESO-A", "1º ESO A", [("Desdobre de laboratorio 1", "1ESOA-L1"),
                                 ("Desdobre de laboratorio 2", "1ESOA-L2")]),
    ("26-3ESO-A", "3º ESO A", [("Desdobre de laboratorio 1", "3ESOA-L1"),
                                 ("Desdobre de laboratorio 2", "3ESOA-L2")]),
    ("26-3ESO-B", "3º ESO B", [("Desdobre de laboratorio 1", "3ESOB-L1"),
                                 ("Desdobre de laboratorio 2", "3ESOB-L2")]),
    ("26-1BAC-CT-A", "1º BAC A", [("Prácticas de Física", "1BACA-FIS"),
                                    ("Prácticas de Química", "1BACA-QUI"),
                                    ("Prácticas de Bioloxía", "1BACA-BIO")]),
    ("26-1CMXA-U", "1º CM Xestión Administrativa",
     [("Desdobre, informática 1", "1XA-INF1"), ("Desdobre, informática 2", "1XA-INF2")]),
    ("26-1CMSMR-A", "1º SMR A", [("Taller 1", "1SMRA-T1"), ("Taller 2", "1SMRA-T2")]),
    # A group of last year's call: the import of the main call finds no parent for it.
    ("25-1ESO-A", "1º ESO A", [("Desdobre de laboratorio 1", "1ESOA-L1")]),
]


def subgroup_rows():
    rows, n = [], 0
    for parent, lead, subs in SUBGROUPS:
        call = parent.split("-")[0]
        for name, short in subs:
            n += 1
            rows.append([parent, f"{call}-SG-{n:03d}", lead, name, short])
    return rows


# --------------------------------------------------------------------------------------
# Activities: (code, long code, name)

ACTIVITIES = [
    ("9001", "GARDA", "Garda de aula"),
    ("9002", "GARDAREC", "Garda de recreo"),
    ("9003", "GARDABIB", "Garda de biblioteca"),
    ("9004", "TITORIA", "Titoría de grupo"),
    ("9005", "TITFCT", "Titoría de FCT"),
    ("9006", "XEFDEP", "Xefatura de departamento"),
    ("9007", "REUDEP", "Reunión de departamento"),
    ("9008", "REUEQD", "Reunión de equipo docente"),
    ("9009", "ATFAM", "Atención a familias"),
    ("9010", "COORDTIC", "Coordinación TIC"),
    ("9011", "Dinamización Lingua Galega", "Equipo de dinamización da lingua galega"),
    ("9012", "BIBLIO", "Plan de bibliotecas, lectura e escritura"),
]
TITORIA, TITFCT = "9004", "9005"

# --------------------------------------------------------------------------------------
# Subjects: key -> (long code, name, abbreviation in ZARE, linked activity or "0")

S = {
    # ESO: ZARE's short long codes
    "LCL": ("LCL", "Lingua Castelá e Literatura", "LCL", "0"),
    "LGL": ("LGL", "Lingua Galega e Literatura", "LGL", "0"),
    "MAT": ("MAT", "Matemáticas", "MAT", "0"),
    "MATA": ("MATA", "Matemáticas A", "MAT-A", "0"),
    "MATB": ("MATB", "Matemáticas B", "MAT-B", "0"),
    "XH": ("XH", "Xeografía e Historia", "XH", "0"),
    "BX": ("BX", "Bioloxía e Xeoloxía", "BX", "0"),
    "FQ": ("FQ", "Física e Química", "FQ", "0"),
    "ING": ("ING", "Lingua Estranxeira (Inglés)", "ING", "0"),
    "FRA": ("FRA", "Segunda Lingua Estranxeira (Francés)", "FRA", "0"),
    "EF": ("EF", "Educación Física", "EF", "0"),
    "EPVA": ("EPVA", "Educación Plástica, Visual e Audiovisual", "EPVA", "0"),
    "MUS": ("MUS", "Música", "MUS", "0"),
    "TD": ("TD", "Tecnoloxía e Dixitalización", "TD", "0"),
    "LAT": ("LAT", "Latín", "LAT", "0"),
    "TIT": ("TIT", "Titoría", "TIT", TITORIA),
    "REL": ("REL", "Relixión", "REL", "0"),
    "ALS": ("Ámbito Lingüístico e Social", "Ámbito lingüístico e social", "ALS", "0"),
    "ACT": ("Ámbito Científico-Tecnolóxico", "Ámbito científico-tecnolóxico", "ACT", "0"),
    # Bacharelato: long codes written out
    "LCL1": ("Lingua Castelá e Literatura I", "Lingua Castelá e Literatura I", "LCL I", "0"),
    "LCL2": ("Lingua Castelá e Literatura II", "Lingua Castelá e Literatura II", "LCL II", "0"),
    "LGL1": ("Lingua Galega e Literatura I", "Lingua Galega e Literatura I", "LGL I", "0"),
    "LGL2": ("Lingua Galega e Literatura II", "Lingua Galega e Literatura II", "LGL II", "0"),
    "ING1": ("Inglés I", "Lingua Estranxeira I (Inglés)", "ING I", "0"),
    "ING2": ("Inglés II", "Lingua Estranxeira II (Inglés)", "ING II", "0"),
    "FIL": ("Filosofía", "Filosofía", "FIL", "0"),
    "EFB": ("Educación Física", "Educación Física", "EF", "0"),
    "HE": ("Historia de España", "Historia de España", "HE", "0"),
    "HF": ("Historia da Filosofía", "Historia da Filosofía", "HF", "0"),
    "MAT1": ("Matemáticas I", "Matemáticas I", "MAT I", "0"),
    "MAT2": ("Matemáticas II", "Matemáticas II", "MAT II", "0"),
    "FQB": ("Física e Química", "Física e Química", "FQ", "0"),
    "DT1": ("Debuxo Técnico I", "Debuxo Técnico I", "DT I", "0"),
    "BXCA": ("Bioloxía, Xeoloxía e Ciencias Ambientais",
             "Bioloxía, Xeoloxía e Ciencias Ambientais", "BXCA", "0"),
    "TE1": ("Tecnoloxía e Enxeñaría I", "Tecnoloxía e Enxeñaría I", "TE I", "0"),
    "MCS1": ("Matemáticas Aplicadas ás Ciencias Sociais I",
             "Matemáticas Aplicadas ás Ciencias Sociais I", "MACS I", "0"),
    "MCS2": ("Matemáticas Aplicadas ás Ciencias Sociais II",
             "Matemáticas Aplicadas ás Ciencias Sociais II", "MACS II", "0"),
    "LAT1": ("Latín I", "Latín I", "LAT I", "0"),
    "LAT2": ("Latín II", "Latín II", "LAT II", "0"),
    "GRE1": ("Grego I", "Grego I", "GRE I", "0"),
    "GRE2": ("Grego II", "Grego II", "GRE II", "0"),
    "HMC": ("Historia do Mundo Contemporaneo", "Historia do Mundo Contemporáneo", "HMC", "0"),
    "MX": ("Matemáticas Xerais", "Matemáticas Xerais", "MX", "0"),
    "EEAE": ("Economía, Emprendemento e Actividade Empresarial",
             "Economía, Emprendemento e Actividade Empresarial", "EEAE", "0"),
    "DA1": ("Debuxo Artístico I", "Debuxo Artístico I", "DA I", "0"),
    "DA2": ("Debuxo Artístico II", "Debuxo Artístico II", "DA II", "0"),
    "CAV": ("Cultura Audiovisual", "Cultura Audiovisual", "CAV", "0"),
    "PAR": ("Proxectos Artísticos", "Proxectos Artísticos", "PA", "0"),
    "FIS": ("Física", "Física", "FIS", "0"),
    "QUI": ("Química", "Química", "QUI", "0"),
    "BIO": ("Bioloxía", "Bioloxía", "BIO", "0"),
    "HA": ("Historia da Arte", "Historia da Arte", "HA", "0"),
    "XEO": ("Xeografía", "Xeografía", "XEO", "0"),
    "FAR": ("Fundamentos Artísticos", "Fundamentos Artísticos", "FA", "0"),
    # FP, CM Xestión Administrativa
    "CEAC": ("Comunicación empresarial e atención á clientela",
             "Comunicación empresarial e atención á clientela", "CEAC", "0"),
    "OACV": ("Operacións administrativas de compravenda",
             "Operacións administrativas de compravenda", "OACV", "0"),
    "TC": ("Técnica contable", "Técnica contable", "TC", "0"),
    "TII": ("Tratamento informático da información",
            "Tratamento informático da información", "TII", "0"),
    "FOL": ("FOL", "Formación e orientación laboral", "FOL", "0"),
    "OARH": ("Operacións administrativas de recursos humanos",
             "Operacións administrativas de recursos humanos", "OARH", "0"),
    "TDC": ("Tratamento da documentación contable",
            "Tratamento da documentación contable", "TDC", "0"),
    "EA": ("Empresa na aula", "Empresa na aula", "EA", "0"),
    "OAXT": ("Operacións auxiliares de xestión de tesouraría",
             "Operacións auxiliares de xestión de tesouraría", "OAXT", "0"),
    "EIE": ("EIE", "Empresa e iniciativa emprendedora", "EIE", "0"),
    "FCT": ("Formación en centros de traballo", "Formación en centros de traballo", "FCT",
            TITFCT),
    # FP, CM Sistemas Microinformáticos e Redes
    "MME": ("MME", "Montaxe e mantemento de equipamentos", "MME", "0"),
    "SOM": ("SOM", "Sistemas operativos monoposto", "SOM", "0"),
    "RL": ("RL", "Redes locais", "RL", "0"),
    "AO": ("AO", "Aplicacións ofimáticas", "AO", "0"),
    "SOR": ("SOR", "Sistemas operativos en rede", "SOR", "0"),
    "SI": ("SI", "Seguridade informática", "SI", "0"),
    "SR": ("SR", "Servizos en rede", "SR", "0"),
    "AW": ("AW", "Aplicacións web", "AW", "0"),
    # FP, CS Desenvolvemento de Aplicacións Web
    "SINF": ("Sistemas informáticos", "Sistemas informáticos", "SINF", "0"),
    "BD": ("Bases de datos", "Bases de datos", "BD", "0"),
    "PROG": ("Programacion", "Programación", "PROG", "0"),
    "LMSXI": ("Linguaxes de marcas e sistemas de xestión",
              "Linguaxes de marcas e sistemas de xestión de información", "LMSXI", "0"),
    "CD": ("Contornos de desenvolvemento", "Contornos de desenvolvemento", "CD", "0"),
    "FOLS": ("Formación e orientación laboral", "Formación e orientación laboral", "FOL", "0"),
    "DWEC": ("Desenvolvemento web en contorno cliente",
             "Desenvolvemento web en contorno cliente", "DWEC", "0"),
    "DWES": ("Desenvolvemento web en contorno servidor",
             "Desenvolvemento web en contorno servidor", "DWES", "0"),
    "DAWS": ("Despregamento de aplicacións web", "Despregamento de aplicacións web", "DAW",
             "0"),
    "DIW": ("Deseño de interfaces web", "Deseño de interfaces web", "DIW", "0"),
    "PDAW": ("Proxecto de desenvolvemento de aplicacións web",
             "Proxecto de desenvolvemento de aplicacións web", "PROX", "0"),
    "EIES": ("Empresa e iniciativa emprendedora", "Empresa e iniciativa emprendedora", "EIE",
             "0"),
    # Courses that this centre does not teach (general offer only)
    "PCA": ("Preelaboración e conservación de alimentos",
            "Preelaboración e conservación de alimentos", "PCA", "0"),
    "TCU": ("Técnicas culinarias", "Técnicas culinarias", "TCU", "0"),
    "DEI": ("Didáctica da educación infantil", "Didáctica da educación infantil", "DEI", "0"),
    "TID": ("Tratamento informático de datos", "Tratamento informático de datos", "TID", "0"),
    "CAP1": ("Ciencias aplicadas I", "Ciencias aplicadas I", "CA I", "0"),
}

# The centre's own offer, course by course.
CENTRE_OFFER = [
    ("1ESO", "LCL LGL MAT XH BX ING EF MUS FRA TIT"),
    ("2ESO", "LCL LGL MAT XH FQ ING EF EPVA TD TIT"),
    ("3ESO", "LCL LGL MAT XH BX FQ ING EF TD TIT"),
    ("PDC3", "ALS ACT ING EF TIT"),
    ("4ESO", "LCL LGL MATA MATB XH ING EF LAT TIT"),
    ("PDC4", "ALS ACT ING EF TIT"),
    ("1BAC-CT", "MAT1 FQB DT1 BXCA TE1"),
    ("1BAC-HCS", "MCS1 LAT1 GRE1 HMC"),
    ("1BAC-XER", "MX EEAE HMC"),
    ("1BAC-ART", "DA1 CAV PAR"),
    ("2BAC-CT", "MAT2 FIS QUI BIO"),
    ("2BAC-HCS", "MCS2 LAT2 GRE2 HA"),
    ("2BAC-XER", "XEO"),
    ("2BAC-ART", "DA2 FAR"),
    ("1CMXA", "CEAC OACV TC TII FOL"),
    ("2CMXA", "OARH TDC EA OAXT EIE"),
    ("1CMSMR", "MME SOM RL AO FOL"),
    ("2CMSMR", "SOR SI SR AW EIE"),
    ("1CSDAW", "SINF BD PROG LMSXI CD FOLS"),
    ("2CSDAW", "DWEC DWES DAWS DIW PDAW EIES"),
]

# The general offer: the common subjects of the centre's courses, and some lines of courses
# that the centre does not teach (dropped on import unless they name an activity).
XERAL_OFFER = [
    ("1ESO", "REL"), ("2ESO", "REL"), ("3ESO", "REL"), ("4ESO", "REL"),
    ("1BAC-CT", "LCL1 LGL1 ING1 FIL EFB"),
    ("1BAC-HCS", "LCL1 LGL1 ING1 FIL EFB"),
    ("1BAC-XER", "LCL1 LGL1 ING1 FIL EFB"),
    ("1BAC-ART", "LCL1 LGL1 ING1 FIL EFB"),
    ("2BAC-CT", "LCL2 LGL2 ING2 HE HF"),
    ("2BAC-HCS", "LCL2 LGL2 ING2 HE HF"),
    ("2BAC-XER", "LCL2 LGL2 ING2 HE HF"),
    ("2BAC-ART", "LCL2 LGL2 ING2 HE HF"),
    ("2CMXA", "FCT"), ("2CMSMR", "FCT"),
    ("1CMCOC", "PCA TCU"), ("2CMCOC", "FCT"),
    ("1CSEI", "DEI"),
    ("1FPBSA", "TID CAP1 TIT"), ("2FPBSA", "TIT"),
]


def subject_rows(offer, first_code):
    rows, n = [], first_code
    for course, keys in offer:
        for key in keys.split():
            long_code, name, abbrev, activity = S[key]
            rows.append([str(n), course, activity, long_code, name, abbrev])
            n += 1
    return rows


# --------------------------------------------------------------------------------------
# Teachers, written "Apelidos, Nome" as ZARE lists them

CRAFTED_TEACHERS = [
    "Pérez Ruiz, Ana",            # PRA
    "Paz Rey, Alberto",           # PRA too: the second gets a numbered code
    "Pino Ríos, Andrés",          # PRA once more
    "Álvarez Núñez, Óscar",       # accented capitals give only N
    "Iglesias Otero, María José",
    "Argüelles Vidal, Xoán",
    "Fernández da Fonte, Lucía",
    "Muñiz Castro, Iago",
    "Añón Búa, Ánxela",
    "Castiñeira Lema, Xosé Manuel",
]
GIVEN = ["Uxía", "Brais", "Antía", "Noa", "Sabela", "Martiño", "Iria", "Breixo", "Carme",
         "Rosalía", "Fernando", "Beatriz", "Íñigo", "Eva", "Manuel", "Pilar", "Xiana", "Roi",
         "Olalla", "Damián", "Paula", "Xulio", "Teresa", "Alba", "Diego", "Marta", "Pablo",
         "Laura", "Sergio", "Nerea", "Hugo", "Icía", "Tomás", "Raquel", "Rubén", "Cristina",
         "Adrián", "Lorena", "Miguel", "Silvia", "Daniel", "Elena", "Antón", "Begoña",
         "Gonzalo", "Inés", "Ramón", "Susana", "Fátima", "Héctor"]
SURNAMES = ["López", "Castro", "Otero", "Vázquez", "Varela", "Novoa", "Seoane", "Lema",
            "Bouzas", "Gómez", "Souto", "Carballo", "Figueiras", "Doval", "Outeiral",
            "Quintela", "Rial", "Sanmartín", "Toimil", "Vilar", "Loureiro", "Rodríguez",
            "Domínguez", "Cancela", "Mosquera", "Ferreiro", "Regueira", "Barreiro",
            "Lousada", "Pereira"]
N_TEACHERS = 60
N_FP_TEACHERS = 12


def teacher_rows(rng, groups):
    names = list(CRAFTED_TEACHERS)
    while len(names) < N_TEACHERS:
        a, b = rng.sample(SURNAMES, 2)
        name = f"{a} {b}, {rng.choice(GIVEN)}"
        if name not in names:
            names.append(name)
    codes = rng.sample(range(300000, 999999), N_TEACHERS)

    fp_courses = {"1CMXA", "2CMXA", "1CMSMR", "2CMSMR", "1CSDAW", "2CSDAW"}
    fp_groups = [g for g in groups if g[1] in fp_courses]
    other_groups = [g for g in groups if g[1] not in fp_courses]

    pairs = []  # (group index, teacher index)
    order = {g[2]: i for i, g in enumerate(groups)}
    for t, _name in enumerate(names):
        pool = fp_groups if t >= N_TEACHERS - N_FP_TEACHERS else other_groups
        k = rng.choice([1, 2, 2, 3, 3, 4])
        for g in rng.sample(pool, min(k, len(pool))):
            pairs.append((order[g[2]], t))
    pairs.sort()
    return [[str(codes[t]), groups[gi][2], names[t]] for gi, t in pairs]


# --------------------------------------------------------------------------------------
# Classrooms

def classroom_rows():
    rows = []
    for floor, count in ((1, 6), (2, 6), (3, 4)):
        for n in range(1, count + 1):
            rows.append([f"A{floor}0{n}", f"Aula {floor}0{n}"])
    rows[4:4] = [["LABFQ", "Laboratorio de Física e Química"],
                 ["LABBX", "Laboratorio de Bioloxía e Xeoloxía"]]
    rows += [
        ["INF1", "Aula de Informática 1"],
        ["INF2", "Aula de Informática 2"],
        ["TALLER", "Taller de Sistemas Microinformáticos e Redes"],
        ["PLAST", "Aula de Plástica e Debuxo"],
        ["MUS", "Aula de Música"],
        ["Taller", "Taller de Tecnoloxía"],      # differs from TALLER only in letter case
        ["XIMN", "Ximnasio"],
        ["BIB", "Biblioteca"],
        ["SUM", 'Salón de actos "A Lareira", usos múltiples'],
        ["PT", "Aula de Pedagoxía Terapéutica"],
        ["AL", "Aula de Audición e Linguaxe"],
        ["XA1", "Aula de Xestión Administrativa"],
        ["DAW1", "Aula de Desenvolvemento Web"],
        ["LABFQ", "Laboratorio de Química"],    # the same classroom listed again
    ]
    return rows


# --------------------------------------------------------------------------------------
# Checks

def divide_campos(text):
    """The splitting rules of the program's CSV reader, on one decoded line."""
    blank = lambda c: 1 <= ord(c) <= 32
    fields, p, n = [], 0, len(text)

    def skip(p):
        while p < n and blank(text[p]):
            p += 1
        return p

    p = skip(p)
    while p < n:
        if text[p] == '"':
            p += 1
            value = []
            while p < n:
                if text[p] == '"':
                    if p + 1 < n and text[p + 1] == '"':
                        value.append('"')
                        p += 2
                        continue
                    p += 1
                    break
                value.append(text[p])
                p += 1
            fields.append("".join(value))
        else:
            start = p
            while p < n and text[p] != "," and not blank(text[p]):
                p += 1
            fields.append(text[start:p])
        p = skip(p)
        if p < n and text[p] == ",":
            if p == n - 1:
                fields.append("")
            p = skip(p + 1)
    return fields


def check_file(path, header, rows, eol, bom):
    data = open(path, "rb").read()
    expect_bom = b"\xef\xbb\xbf"
    assert data.startswith(expect_bom) == bom, path
    text = data.decode("utf-8-sig" if bom else "utf-8")
    assert text.endswith(eol), path
    raw_lines = text.split("\n")
    assert raw_lines[-1] == "", path
    raw_lines = raw_lines[:-1]
    for line in raw_lines:
        # Every line carries the file's own line end and no stray CR.
        assert line.endswith("\r") == (eol == CRLF), (path, line)
        assert "\r" not in line.rstrip("\r"), (path, line)
    lines = [l.rstrip("\r") for l in raw_lines]
    assert lines[0] == header, (path, lines[0])
    assert len(lines) == len(rows) + 1, path

    parsed = list(csv.reader(io.StringIO(text, newline="")))
    assert parsed[1:] == rows, f"{path}: csv module reads other values"
    for line, row in zip(lines[1:], rows):
        got = divide_campos(line)
        assert got == row, f"{path}: {line!r} splits as {got!r}"
        for v in row:
            v.encode("cp1252")  # every character has a Windows-1252 byte


def check_data(groups, subgroups, centre, xeral, teachers, rooms):
    for code, desc in CALLS:
        assert len(code) <= 10 and len(desc) <= 60
    main = [g for g in groups if g[0] == MAIN_CALL]
    course_order = list(dict.fromkeys(g[1] for g in main))
    assert course_order == [c[0] for c in COURSES]
    names = [COURSE_NAME[c] for c in course_order]
    assert len(set(names)) == len(names), "course names must tell the courses apart"
    for g in groups:
        assert len(g[1]) <= 10, g          # CURSOST.CODCURSO
        assert len(g[2]) <= 15, g          # GRUPOST.CODGRUZARE
        assert len(g[4]) <= 50, g          # CURSOST.NOMECURSO (found again by name)
    assert len({g[2] for g in groups}) == len(groups), "group codes are unique"
    main_codes = {g[2] for g in main}
    for s in subgroups:
        assert len(s[1]) <= 15, s
        assert s[0] in main_codes or not s[0].startswith(MAIN_CALL[2:] + "-"), s
    for r in centre + xeral:
        assert len(r[3]) <= 50, r          # ASIGNOMT.CODLARGO2
        assert r[2] == "0" or r[2] in {a[0] for a in ACTIVITIES}, r
    for course, _ in CENTRE_OFFER:
        assert course in COURSE_NAME, course
    # Every main-call course has subjects in one file or the other.
    offered = {r[1] for r in centre + xeral}
    assert set(course_order) <= offered, set(course_order) - offered
    emp = {}
    for code, _group, name in teachers:
        assert emp.setdefault(code, name) == name, "one name per employee code"
        assert len(code) <= 10
    assert len(emp) == N_TEACHERS, len(emp)
    for code, name in rooms:
        assert len(code) <= 10 and len(name) <= 80


# --------------------------------------------------------------------------------------

def main():
    repo = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(
        os.path.abspath(__file__)), "..")
    zare = os.path.join(repo, "samples", "zare")
    os.makedirs(zare, exist_ok=True)
    rng = random.Random(20260901)

    groups = group_rows()
    main_groups = [g for g in groups if g[0] == MAIN_CALL]
    subgroups = subgroup_rows()
    centre = subject_rows(CENTRE_OFFER, 10001)
    xeral = subject_rows(XERAL_OFFER, 50001)
    teachers = teacher_rows(rng, main_groups)
    rooms = classroom_rows()
    check_data(groups, subgroups, centre, xeral, teachers, rooms)

    # (file, header, rows, line end, byte-order mark, quote every value)
    files = [
        ("convocatoriasCentro.csv", "convocatoria,descripcion",
         [list(c) for c in CALLS], CRLF, False),
        ("gruposCentro.csv",
         "convocatoria,codigoCurso,codigoGrupo,nomeGrupo,nomeCurso,nomeAbreviadoGrupo",
         groups, CRLF, False),
        ("subgruposCentro.csv",
         "codigoGrupo,codigoSubgrupo,descricion,nomeSubgrupo,nomeAbreviadoSubgrupo",
         subgroups, LF, False),
        ("materiasHorarioOfertaCentro.csv",
         "codigoMateria,codigoCurso,codigoActividade,codigoLargo,nome,abreviatura",
         centre, CRLF, False),
        ("materiasHorarioOfertaXeral.csv",
         "codigoMateria,codigoCurso,codigoActividade,codigoLargo,nome,abreviatura",
         xeral, LF, False),
        ("actividadesProfesor.csv", "codigo,codigoLargo,nome",
         [list(a) for a in ACTIVITIES], CRLF, False),
        ("profesoresGrupoCentro.csv", "codigoEmpregado,codigoGrupo,nomeProfesor",
         teachers, LF, False),
        ("aulasCentro.csv", "codigo,nome", rooms, CRLF, True),
    ]
    for name, header, rows, eol, bom in files:
        path = os.path.join(zare, name)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(csv_text(header, rows, eol, bom))
        check_file(path, header, rows, eol, bom)

    # The course codes for the main call, as `transorbelin cursos` prints them, filled in.
    niveles = [[c[0], c[1], c[2], c[3], c[4]] for c in COURSES]
    path = os.path.join(repo, "samples", "niveles.csv")
    body = "".join(",".join(quote(v, True) for v in row) + LF for row in niveles)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO" + LF + body)
    check_file(path, "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO", niveles, LF, False)
    for _code, _name, turno, nivel, curso in niveles:
        assert len(turno) <= 1 and 0 < len(nivel) <= 5 and 0 < len(curso) <= 3

    for name, _h, rows, _e, _b in files:
        print(f"{name}: {len(rows)} lines after the header")
    print(f"niveles.csv: {len(niveles)} courses of call {MAIN_CALL}")


if __name__ == "__main__":
    main()
