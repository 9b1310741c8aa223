#!/usr/bin/env bash
# transorbelin.exe's messages as a person sees them: on a console (Wine makes one of a terminal,
# here the pseudo-terminal of `script`) they go out as wide characters and arrive with their
# accents right; redirected to a file they are UTF-8 with CR LF line ends. The message is the
# error for a CSV path longer than Windows takes: "Nombre de archivo inválido: … máximo es 259".
#   consola.sh TRANSORBELIN.exe SOURCE_DIR   (WINEPREFIX set, as scripts/windows-tests does)
set -euo pipefail
exe=$1 source=$2
raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT
falla() { echo "consola.sh: $*" >&2; exit 1; }
windows() { printf 'Z:%s' "${1//\//\\}"; }
carpeta=$raiz/$(printf 'carpeta_con_un_nombre_largo_%02d/' $(seq 1 10))
mkdir -p "$carpeta" "$raiz/c/ZTEMP"
cp "$source/samples/zare/convocatoriasCentro.csv" "$carpeta/"
esperado='Nombre de archivo inválido: la ruta tiene'

if "$source/scripts/wine-run" "$exe" --unidad-c "$(windows "$raiz/c")" convocatorias "$(windows "$carpeta")" \
  > "$raiz/salida" 2> "$raiz/errores"; then
  falla "a path of more than 259 characters was taken"
fi
grep -q "$esperado" "$raiz/errores" || falla "redirected, the message is not UTF-8: $(od -c "$raiz/errores" | head -3)"
grep -q $'máximo es 259\\.\r$' "$raiz/errores" || falla "redirected, the message does not end in CR LF"

orden=$(printf '%q ' "$source/scripts/wine-run" "$exe" --unidad-c "$(windows "$raiz/c")" convocatorias "$(windows "$carpeta")")
script -qec "$orden" /dev/null > "$raiz/consola" 2>&1 < /dev/null || true
grep -q "$esperado" "$raiz/consola" || falla "on the console the accents are wrong: $(od -c "$raiz/consola" | head -4)"
echo "consola.sh: accents right on the console and in UTF-8 when redirected"
