#!/usr/bin/python3
"""ZARE.CHM as the build compiled it, unpacked with archmage (every page, the contents and the
index come out) and read byte for byte with pychm, the library archmage stands on (archmage
adds its own script to the pages it writes out): every help page with the text of help/, in
Windows-1252; the table of contents and the index in Windows-1252, every entry on a page that is
in the file, the binary index with the keywords in UTF-16; the context map (#IVB through
#STRINGS) giving each context of help/contextos.tsv its page; the #SYSTEM record (language,
default topic, contents and index files, window) and the #IDXHDR.

    chm_test.py ZARE.CHM SOURCE_DIR
"""

import html
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from chm import chmlib

CHM = Path(sys.argv[1])
FUENTE = Path(sys.argv[2])
AYUDA = FUENTE / "help"
CHM_FUENTES = FUENTE / "packaging" / "windows" / "chm"


def contextos():
    filas = {}
    for linea in (AYUDA / "contextos.tsv").read_text(encoding="utf-8").splitlines():
        if linea.strip() and not linea.startswith("#"):
            contexto, pagina, _ = linea.split("\t")
            filas[int(contexto)] = pagina
    return filas


def arbol(nombre):
    """(level, title, page) of a contents or index source list."""
    filas = []
    for linea in (CHM_FUENTES / nombre).read_text(encoding="utf-8").splitlines():
        if linea.strip() and not linea.startswith("#"):
            titulo, pagina = linea.strip().split("\t")
            filas.append(((len(linea) - len(linea.lstrip(" "))) // 2, titulo, pagina))
    return filas


def entradas_del_mapa(texto):
    """(level, Name, Local) of each <LI> of a sitemap."""
    filas = []
    nivel = -1
    for m in re.finditer(r"(<UL>|</UL>|<OBJECT type=\"text/sitemap\">(.*?)</OBJECT>)", texto, re.S | re.I):
        if m.group(1).upper() == "<UL>":
            nivel += 1
        elif m.group(1).upper() == "</UL>":
            nivel -= 1
        else:
            params = dict(re.findall(r'<param name="(\w+)" value="([^"]*)">', m.group(2)))
            filas.append((nivel, html.unescape(params["Name"]), params["Local"]))
    return filas


class ArchivoChm:
    def __init__(self, ruta):
        self.f = chmlib.chm_open(str(ruta).encode())
        if not self.f:
            raise RuntimeError(f"pychm cannot open {ruta}")

    def lee(self, nombre):
        estado, info = chmlib.chm_resolve_object(self.f, nombre.encode())
        if estado != chmlib.CHM_RESOLVE_SUCCESS:
            return None
        _, datos = chmlib.chm_retrieve_object(self.f, info, 0, info.length)
        return datos

    def cadena(self, desplazamiento):
        cadenas = self.lee("/#STRINGS")
        return cadenas[desplazamiento:cadenas.index(b"\0", desplazamiento)].decode("cp1252")


class Chm(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.carpeta = Path(cls.tmp.name) / "zare"
        r = subprocess.run(["archmage", "-x", str(CHM), str(cls.carpeta)], capture_output=True, text=True)
        if r.returncode != 0:
            raise RuntimeError(f"archmage -x failed: {r.stderr}")
        cls.chm = ArchivoChm(CHM)
        cls.extraidos = {p.name.lower() for p in cls.carpeta.iterdir()}

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_archmage_saca_las_paginas_el_contenido_y_el_indice(self):
        for nombre in [p.name for p in AYUDA.glob("*.html")] + ["ayuda.css", "ZARE.hhc", "ZARE.hhk"]:
            self.assertIn(nombre.lower(), self.extraidos)

    def test_paginas_en_windows_1252_con_el_texto_de_la_ayuda(self):
        paginas = sorted(p.name for p in AYUDA.glob("*.html"))
        self.assertGreater(len(paginas), 5)
        for nombre in paginas:
            with self.subTest(pagina=nombre):
                crudo = self.chm.lee("/" + nombre)
                self.assertIn(b'charset=windows-1252', crudo)
                original = (AYUDA / nombre).read_text(encoding="utf-8")
                original = re.sub(r'<meta charset="utf-8">', "", original, flags=re.I)
                compilada = re.sub(r'<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">',
                                   "", crudo.decode("cp1252"))
                self.assertEqual(html.unescape(compilada), html.unescape(original))
                # What Windows-1252 has is written as itself, not as a reference.
                self.assertNotIn(b"&#233;", crudo)
        self.assertIn("Qué significa cada mensaje".encode("cp1252"), self.chm.lee("/mensajes.html"))
        self.assertEqual(self.chm.lee("/ayuda.css"), (AYUDA / "ayuda.css").read_bytes())

    def test_contenido_en_windows_1252(self):
        crudo = self.chm.lee("/ZARE.hhc")
        self.assertIn("Qué significa cada mensaje".encode("cp1252"), crudo)
        self.assertIn("«NIVELES DE ESTUDIOS»".encode("cp1252"), crudo)
        entradas = entradas_del_mapa(crudo.decode("cp1252"))
        self.assertEqual(entradas, arbol("contenido.txt"))
        self.assertEqual({p for _, _, p in entradas}, {p.name for p in AYUDA.glob("*.html")})

    def test_indice_en_windows_1252_y_ordenado(self):
        crudo = self.chm.lee("/ZARE.hhk")
        self.assertIn("Códigos de curso".encode("cp1252"), crudo)
        entradas = entradas_del_mapa(crudo.decode("cp1252"))
        self.assertEqual(sorted(entradas), sorted(arbol("indice.txt")))
        for nivel, _, pagina in entradas:
            self.assertIsNotNone(self.chm.lee("/" + pagina), pagina)
        # The binary index holds every keyword in UTF-16, accents included.
        arbol_binario = self.chm.lee("/$WWKeywordLinks/BTree")
        for _, titulo, _ in entradas:
            self.assertIn(titulo.encode("utf-16-le"), arbol_binario, titulo)
        primeras = [t for n, t, _ in entradas if n == 0]
        clave = [t.casefold().replace("á", "a").replace("é", "e").replace("í", "i").replace("ó", "o").replace("ú", "u")
                 for t in primeras]
        self.assertEqual(clave, sorted(clave))

    def test_cada_contexto_lleva_a_su_pagina(self):
        ivb = self.chm.lee("/#IVB")
        self.assertIsNotNone(ivb)
        (longitud,) = struct.unpack_from("<I", ivb)
        self.assertEqual(longitud, len(ivb) - 4)
        mapa = {}
        for i in range(4, len(ivb), 8):
            contexto, desplazamiento = struct.unpack_from("<II", ivb, i)
            mapa[contexto] = self.chm.cadena(desplazamiento)
        esperado = {c: p for c, p in contextos().items() if c != 0}
        self.assertEqual(mapa, esperado)
        for pagina in mapa.values():
            self.assertIsNotNone(self.chm.lee("/" + pagina), pagina)

    def test_registro_system_e_idxhdr(self):
        system = self.chm.lee("/#SYSTEM")
        registros = {}
        i = 4
        while i + 4 <= len(system):
            codigo, longitud = struct.unpack_from("<HH", system, i)
            registros[codigo] = system[i + 4:i + 4 + longitud]
            i += 4 + longitud
        texto = lambda c: registros[c].rstrip(b"\0").decode("cp1252")
        self.assertEqual(texto(0), "ZARE.hhc")
        self.assertEqual(texto(1), "ZARE.hhk")
        self.assertEqual(texto(2), contextos()[0])
        self.assertEqual(texto(3), "Ayuda de TransOrbelinZARE")
        (lcid,) = struct.unpack_from("<I", registros[4])
        self.assertEqual(lcid, 0x0C0A)
        self.assertEqual(texto(5), "principal")
        self.assertEqual(self.chm.lee("/#IDXHDR")[:4], b"T#SM")
        self.assertIsNotNone(self.chm.lee("/#WINDOWS"))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
