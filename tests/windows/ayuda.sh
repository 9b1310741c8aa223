#!/usr/bin/env bash
# Runs the help tests (ayuda_tests.exe) under Wine with HTML Help's trace on, then reads from the
# trace which page each request opened: every context of help/contextos.tsv its own page inside
# ZARE.CHM ("mk:@MSITStore:...ZARE.CHM::/page"), the context without a topic none, and the
# contents the page of context 0. Wine shows no page without Gecko, but it does resolve the
# context through the file's map and navigate to the page it names.
#   ayuda.sh AYUDA_TESTS.EXE SOURCE_DIR
set -euo pipefail
programa=$1
fuente=$2
if [ -z "${DISPLAY:-}" ]; then
  echo "ayuda: the help viewer needs a display under Wine; run the tests through scripts/windows-tests, which starts one" >&2
  exit 1
fi
traza=$(mktemp)
trap 'rm -f "$traza"' EXIT
if ! WINEDEBUG=-all,trace+htmlhelp "$fuente/scripts/wine-run" "$programa" 2> "$traza"; then
  grep -v ':trace:' "$traza" | tail -20 >&2
  exit 1
fi
python3 - "$traza" "$fuente/help/contextos.tsv" <<'PY'
import re, sys
traza, tabla = sys.argv[1], sys.argv[2]
paginas = {}
for linea in open(tabla, encoding="utf-8"):
    if linea.strip() and not linea.startswith("#"):
        contexto, pagina, _ = linea.rstrip("\n").split("\t")
        paginas[int(contexto)] = pagina
contenido = paginas.pop(0)

pedido = None          # the request the next navigation belongs to
abiertas = {}          # request -> pages of ZARE.CHM it navigated to
pedidos = set()
for linea in open(traza, encoding="utf-8", errors="replace"):
    m = re.search(r"HtmlHelpW \(.*command=(\w+), data=([0-9a-fA-F]+)\)", linea)
    if m:
        pedido = (m.group(1), int(m.group(2), 16))   # Wine writes the data in hexadecimal
        pedidos.add(pedido)
        continue
    m = re.search(r'navigate_url L"mk:@MSITStore:(.*)::/([^"]*)"', linea)
    if m and pedido is not None:
        if not m.group(1).upper().endswith("ZARE.CHM"):
            continue
        abiertas.setdefault(pedido, set()).add(m.group(2))

fallos = []
for contexto, pagina in sorted(paginas.items()):
    vistas = abiertas.get(("HH_HELP_CONTEXT", contexto))
    if vistas != {pagina}:
        fallos.append(f"context {contexto}: expected {pagina}, Wine opened {sorted(vistas or [])}")
if ("HH_HELP_CONTEXT", 9999) not in pedidos:
    fallos.append("the context without a topic was not asked for")
elif ("HH_HELP_CONTEXT", 9999) in abiertas:
    fallos.append(f"the context without a topic opened {sorted(abiertas[('HH_HELP_CONTEXT', 9999)])}")
vistas = abiertas.get(("HH_DISPLAY_TOC", 0))
if vistas != {contenido}:
    fallos.append(f"the contents: expected {contenido}, Wine opened {sorted(vistas or [])}")
for f in fallos:
    print("ayuda:", f, file=sys.stderr)
if not fallos:
    print(f"ayuda: {len(paginas)} contexts and the contents opened their pages of ZARE.CHM")
sys.exit(1 if fallos else 0)
PY
