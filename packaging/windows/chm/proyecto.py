#!/usr/bin/env python3
"""Writes the HTML Help project of ZARE.CHM into a folder: the help pages in Windows-1252, the
table of contents (.hhc), the index (.hhk) and the project (.hhp) with the help contexts.

    proyecto.py --ayuda help/ --contenido contenido.txt --indice indice.txt --salida DIR

The contexts come from help/contextos.tsv, the one table the Linux help window is built from
too. Characters that Windows-1252 lacks stay in the pages as character references; a title or
keyword that cannot be written in Windows-1252 is an error.
"""

import argparse
import html
import re
import shutil
import sys
import unicodedata
from pathlib import Path

CODIFICACION = "cp1252"
NOMBRE = "ZARE"
TITULO = "Ayuda de TransOrbelinZARE"
# Spanish, international sort (LCID 0x0C0A): the code page of the titles is 1252.
IDIOMA = "0xc0a Spanish (International Sort)"
# Tri-pane window with the search tab, auto-sync, its own position; buttons: hide/show, back,
# forward, home, options, print.
VENTANA = ('principal="{t}","{n}.hhc","{n}.hhk","{p}","{p}",,,,,0x42520,220,0x304e,'
           '[60,40,900,700],,,,,,,0')

META_UTF8 = re.compile(r'<meta\s+charset="?utf-8"?\s*/?>', re.IGNORECASE)
META_1252 = '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">'


class ErrorProyecto(Exception):
    pass


def lee_contextos(ruta):
    """(context, page, alias) of each line of contextos.tsv."""
    filas = []
    for n, linea in enumerate(ruta.read_text(encoding="utf-8").splitlines(), 1):
        if not linea.strip() or linea.lstrip().startswith("#"):
            continue
        campos = linea.split("\t")
        if len(campos) != 3 or not campos[0].isdigit():
            raise ErrorProyecto(f"{ruta}, línea {n}: se esperaba «contexto<TAB>página<TAB>alias»")
        filas.append((int(campos[0]), campos[1], campos[2]))
    if not any(c == 0 for c, _, _ in filas):
        raise ErrorProyecto(f"{ruta}: falta el contexto 0 (el contenido)")
    return filas


def lee_arbol(ruta):
    """(level, title, page) of each line of a contents or index list."""
    filas = []
    for n, linea in enumerate(ruta.read_text(encoding="utf-8").splitlines(), 1):
        if not linea.strip() or linea.startswith("#"):
            continue
        sangria = len(linea) - len(linea.lstrip(" "))
        campos = linea.strip().split("\t")
        if sangria % 2 or len(campos) != 2:
            raise ErrorProyecto(f"{ruta}, línea {n}: se esperaba «título<TAB>página», sangrado de dos en dos")
        nivel = sangria // 2
        if nivel > (filas[-1][0] + 1 if filas else 0):
            raise ErrorProyecto(f"{ruta}, línea {n}: sangría de más")
        filas.append((nivel, campos[0], campos[1]))
    return filas


def en_1252(texto, donde):
    try:
        return texto.encode(CODIFICACION)
    except UnicodeEncodeError as e:
        raise ErrorProyecto(f"{donde}: «{texto}» tiene un carácter que Windows-1252 no tiene ({e.object[e.start]!r})")


def pagina_1252(texto, nombre):
    """The page with its character set declared as Windows-1252; the rest as references."""
    texto, cambios = META_UTF8.subn(META_1252, texto, count=1)
    if cambios != 1:
        raise ErrorProyecto(f"{nombre}: la página no declara <meta charset=\"utf-8\">")
    return texto.encode(CODIFICACION, errors="xmlcharrefreplace")


def objeto(pares):
    params = "".join(f'<param name="{k}" value="{html.escape(v, quote=True)}">' for k, v in pares)
    return f'<OBJECT type="text/sitemap">{params}</OBJECT>'


def mapa_del_sitio(filas, propiedades):
    """A sitemap (.hhc or .hhk) of the rows: nested lists by level."""
    lineas = ['<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">', "<HTML>", "<HEAD>",
              f'<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">',
              "</HEAD><BODY>", f'<OBJECT type="text/site properties">{propiedades}</OBJECT>', "<UL>"]
    nivel_actual = 0
    for nivel, titulo, pagina in filas:
        while nivel_actual < nivel:
            lineas.append("<UL>")
            nivel_actual += 1
        while nivel_actual > nivel:
            lineas.append("</UL>")
            nivel_actual -= 1
        lineas.append("<LI> " + objeto([("Name", titulo), ("Local", pagina)]))
    lineas.extend(["</UL>"] * (nivel_actual + 1))
    lineas.append("</BODY></HTML>")
    return "\r\n".join(lineas) + "\r\n"


def clave_orden(texto):
    sin_acentos = "".join(c for c in unicodedata.normalize("NFD", texto) if not unicodedata.combining(c))
    return sin_acentos.casefold()


def ordena_indice(filas):
    """The top-level keywords sorted as a Spanish reader looks for them; each keeps its subkeys."""
    grupos = []
    for fila in filas:
        if fila[0] == 0:
            grupos.append([fila])
        else:
            grupos[-1].append(fila)
    grupos.sort(key=lambda g: clave_orden(g[0][1]))
    return [fila for g in grupos for fila in g]


def escribe_proyecto(ayuda, contenido, indice, salida):
    contextos = lee_contextos(ayuda / "contextos.tsv")
    toc = lee_arbol(contenido)
    idx = ordena_indice(lee_arbol(indice))
    paginas = sorted(p.name for p in ayuda.glob("*.html"))

    for origen, filas in (("contextos.tsv", [(0, "", p) for _, p, _ in contextos]),
                          (contenido.name, toc), (indice.name, idx)):
        for _, _, pagina in filas:
            if pagina not in paginas:
                raise ErrorProyecto(f"{origen}: la página {pagina} no está en {ayuda}")
    sin_contenido = set(paginas) - {p for _, _, p in toc}
    if sin_contenido:
        raise ErrorProyecto(f"{contenido.name}: faltan en el contenido {', '.join(sorted(sin_contenido))}")

    salida.mkdir(parents=True, exist_ok=True)
    for pagina in paginas:
        texto = (ayuda / pagina).read_text(encoding="utf-8")
        (salida / pagina).write_bytes(pagina_1252(texto, pagina))
    for otro in sorted(ayuda.glob("*.css")):
        shutil.copyfile(otro, salida / otro.name)

    for _, titulo, _ in toc:
        en_1252(titulo, contenido.name)
    for _, titulo, _ in idx:
        en_1252(titulo, indice.name)
    (salida / f"{NOMBRE}.hhc").write_bytes(
        mapa_del_sitio(toc, '<param name="Window Styles" value="0x800025">').encode(CODIFICACION))
    (salida / f"{NOMBRE}.hhk").write_bytes(mapa_del_sitio(idx, "").encode(CODIFICACION))

    portada = next(p for c, p, _ in contextos if c == 0)
    temas = [(c, p, a) for c, p, a in contextos if c != 0]
    hhp = ["[OPTIONS]",
           "Binary Index=Yes",
           "Binary TOC=No",
           f"Compiled file={NOMBRE}.CHM",
           f"Contents file={NOMBRE}.hhc",
           f"Index file={NOMBRE}.hhk",
           f"Default topic={portada}",
           "Default Window=principal",
           "Full-text search=Yes",
           f"Language={IDIOMA}",
           f"Title={TITULO}",
           "",
           "[WINDOWS]",
           VENTANA.format(t=TITULO, n=NOMBRE, p=portada),
           "",
           "[FILES]"] + paginas + [
           "",
           "[ALIAS]"] + [f"{a}={p}" for _, p, a in temas] + [
           "",
           "[MAP]"] + [f"#define {a} {c}" for c, _, a in temas] + [""]
    (salida / f"{NOMBRE}.hhp").write_bytes("\r\n".join(hhp).encode(CODIFICACION))


def main():
    argumentos = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    argumentos.add_argument("--ayuda", type=Path, required=True)
    argumentos.add_argument("--contenido", type=Path, required=True)
    argumentos.add_argument("--indice", type=Path, required=True)
    argumentos.add_argument("--salida", type=Path, required=True)
    a = argumentos.parse_args()
    try:
        escribe_proyecto(a.ayuda, a.contenido, a.indice, a.salida)
    except (ErrorProyecto, OSError) as e:
        print(f"proyecto.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
