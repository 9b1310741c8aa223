#!/usr/bin/env bash
# Installs the build into a temporary prefix as `make install` does, then uses the installed
# tree only: transorbelin imports the sample centre (its tables read back by dbfcheck), the
# desktop program finds its help pages, and the menu entry names the installed program and icon.
#   instala.sh BUILD_DIR SOURCE_DIR DBFCHECK
set -euo pipefail
build=$1 source=$2 dbfcheck=$3
prefijo=$(mktemp -d)
trap 'rm -rf "$prefijo"' EXIT
falla() { echo "instala.sh: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefijo/usr" > /dev/null
bin=$prefijo/usr/bin
for programa in transorbelin TransOrbelinZARE; do
  [ -x "$bin/$programa" ] || falla "$programa is not installed in bin/"
done
[ -f "$prefijo/usr/share/transorbelinzare/help/index.html" ] || falla "the help pages are not installed"
[ -f "$prefijo/usr/share/icons/hicolor/scalable/apps/transorbelinzare.svg" ] || falla "the icon is not installed"
entrada=$prefijo/usr/share/applications/transorbelinzare.desktop
grep -qx 'Exec=TransOrbelinZARE' "$entrada" || falla "the menu entry does not start TransOrbelinZARE"
grep -qx 'Icon=transorbelinzare' "$entrada" || falla "the menu entry does not name the icon"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$entrada" || falla "the menu entry is not valid"
fi

# The installed command-line program on the sample centre.
mkdir -p "$prefijo/c/ZTEMP"
"$bin/transorbelin" --unidad-c "$prefijo/c" importar "$source/samples/zare" 2026 "$source/samples/niveles.csv" \
  > "$prefijo/salida" || falla "the installed transorbelin failed: $(cat "$prefijo/salida")"
grep -q 'Proceso finalizado' "$prefijo/salida" || falla "the import did not finish"
grupos=$("$dbfcheck" dump "$prefijo/c/ZTEMP/GRUPOST.DBF" | grep -c '^record') || true
[ "$grupos" -gt 0 ] || falla "GRUPOST.DBF has no records"

# The installed desktop program finds the installed pages, and nothing else.
carpeta=$(QT_QPA_PLATFORM=offscreen "$bin/TransOrbelinZARE" --carpeta-ayuda) ||
  falla "the installed desktop program does not find its help"
[ "$carpeta" = "$prefijo/usr/share/transorbelinzare/help" ] || falla "help found in $carpeta"
rm -rf "$prefijo/usr/share/transorbelinzare"
if QT_QPA_PLATFORM=offscreen "$bin/TransOrbelinZARE" --carpeta-ayuda 2> "$prefijo/errores"; then
  falla "help found after it was removed"
fi
grep -q 'La ayuda no est' "$prefijo/errores" || falla "no word that the help is not installed"
echo "instala.sh: ok"
