#!/usr/bin/env bash
# The sample centre imported and its timetable exported by transorbelin.exe under Wine, in a
# folder with accents in its name, and by the Linux build: the tables, their indexes and
# HORARIO.CSV are the same bytes, the course sheets the same text but for Windows' CR LF, and
# the tables the Windows program wrote open and read in dbfcheck (run from Linux: Wine cannot
# hand a Linux program's exit status to a Windows one).
#   golden.sh TRANSORBELIN.exe LINUX_TRANSORBELIN DBFCHECK SOURCE_DIR
set -euo pipefail
exe=$1 linux=$2 dbfcheck=$3 source=$4
raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT
falla() { echo "golden.sh: $*" >&2; exit 1; }
wine_run=$source/scripts/wine-run
# Z: is Wine's drive for the Linux root.
windows() { printf 'Z:%s' "${1//\//\\}"; }

for lado in linux "windows/José Núñez/ZARE exportación"; do
  mkdir -p "$raiz/$lado/c/ZTEMP" "$raiz/$lado/zare"
  cp "$source"/samples/zare/*.csv "$raiz/$lado/zare/"
  cp "$source"/samples/orbelin/SOLUC.DBF "$source"/samples/orbelin/DIASHORAST.DBF "$raiz/$lado/c/ZTEMP/"
done
l=$raiz/linux
w=$raiz/windows/José\ Núñez/ZARE\ exportación

"$linux" --unidad-c "$l/c" cursos "$l/zare" 2026 > "$raiz/cursos-linux.csv"
"$linux" --unidad-c "$l/c" importar "$l/zare" 2026 "$source/samples/niveles.csv" > /dev/null
"$linux" --unidad-c "$l/c" exportar "$l/zare" > /dev/null

"$wine_run" "$exe" --unidad-c "$(windows "$w/c")" cursos "$(windows "$w/zare")" 2026 > "$raiz/cursos-windows.csv" ||
  falla "cursos failed under Wine"
salida=$("$wine_run" "$exe" --unidad-c "$(windows "$w/c")" importar "$(windows "$w/zare")" 2026 \
  "$(windows "$source/samples/niveles.csv")") || falla "importar failed under Wine: $salida"
[ "$salida" = $'Proceso finalizado\r' ] || falla "importar said: $salida"
salida=$("$wine_run" "$exe" --unidad-c "$(windows "$w/c")" exportar "$(windows "$w/zare")") ||
  falla "exportar failed under Wine: $salida"
[ "$salida" = $'Proceso finalizado\r' ] || falla "exportar said: $salida"

tr -d '\r' < "$raiz/cursos-windows.csv" | cmp -s - "$raiz/cursos-linux.csv" || falla "the course sheets differ"
grep -q $'\r$' "$raiz/cursos-windows.csv" || falla "the Windows course sheet has no CR LF line ends"
comparados=0
for archivo in "$l"/c/ZTEMP/*; do
  nombre=$(basename "$archivo")
  cmp -s "$archivo" "$w/c/ZTEMP/$nombre" || falla "$nombre differs between Linux and Windows"
  comparados=$((comparados + 1))
done
[ "$comparados" -ge 15 ] || falla "only $comparados files in ZTEMP"
[ "$(ls "$w/c/ZTEMP" | wc -l)" -eq "$comparados" ] || falla "the Windows run left other files: $(ls "$w/c/ZTEMP" | xargs)"
cmp -s "$l/zare/HORARIO.CSV" "$w/zare/HORARIO.CSV" || falla "HORARIO.CSV differs"
for tabla in GRUPOST PROFT ASIGT HORARIOZARECSV PLANTILLA; do
  registros=$("$dbfcheck" dump "$w/c/ZTEMP/$tabla.DBF" | grep -c '^record') || falla "dbfcheck cannot read $tabla.DBF"
  [ "$registros" -gt 0 ] || falla "dbfcheck finds no records in $tabla.DBF"
done
"$dbfcheck" tags "$w/c/ZTEMP/PROFT.DBF" | grep -q . || falla "dbfcheck finds no tags in PROFT.MDX"
echo "golden.sh: $comparados tables and indexes and HORARIO.CSV the same on Windows as on Linux"
