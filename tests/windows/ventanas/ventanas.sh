#!/usr/bin/env bash
# TransOrbelinZARE.exe worked by the test driver under Wine: a whole import of the sample centre
# through its windows (the call, every course's codes, an incomplete course and back, the run)
# and a whole export with an hour corrected in the template grid; the tables and HORARIO.CSV
# must be the bytes the Linux command-line program writes from the same input (the corrected
# template handed to it). Then the launches with a window handle: embedded in a host window
# the driver makes, the host destroyed, "exportar 0", an unwritable record, a bad handle.
# Last, F1 and "F1 AYUDA" without the help file and with it (when the build made ZARE.CHM).
#   ventanas.sh CONDUCTOR.exe TransOrbelinZARE.exe LINUX_TRANSORBELIN DBFCHECK SOURCE_DIR [ZARE.CHM]
set -euo pipefail
conductor=$1 programa=$2 linux=$3 dbfcheck=$4 source=$5 chm=${6:-}
raiz=$(mktemp -d)
[ -n "${VENTANAS_CONSERVA:-}" ] || trap 'rm -rf "$raiz"' EXIT
falla() { echo "ventanas.sh: $*" >&2; exit 1; }
wine_run=$source/scripts/wine-run
windows() { printf 'Z:%s' "${1//\//\\}"; }

# The program in a folder of its own: its Orbelin.ini goes beside it.
mkdir -p "$raiz/programa"
cp "$programa" "$raiz/programa/TransOrbelinZARE.exe"
exe=$(windows "$raiz/programa/TransOrbelinZARE.exe")
for lado in linux windows incrustado ayuda; do
  mkdir -p "$raiz/$lado/c/ZTEMP" "$raiz/$lado/zare"
  cp "$source"/samples/zare/*.csv "$raiz/$lado/zare/"
  cp "$source"/samples/orbelin/SOLUC.DBF "$source"/samples/orbelin/DIASHORAST.DBF "$raiz/$lado/c/ZTEMP/"
done
l=$raiz/linux w=$raiz/windows

"$wine_run" "$conductor" "$exe" importa "$(windows "$w/c")" "$(windows "$w/zare")" \
  "$(windows "$source/samples/niveles.csv")" || falla "the import through the windows failed"
"$wine_run" "$conductor" "$exe" exporta "$(windows "$w/c")" "$(windows "$w/zare")" 3 "10:15" ||
  falla "the export through the windows failed"

# The Linux program from the same input, with the template as the windows corrected it.
"$linux" --unidad-c "$l/c" importar "$l/zare" 2026 "$source/samples/niveles.csv" > /dev/null
"$linux" --unidad-c "$l/c" exportar "$l/zare" > /dev/null
cp "$l/zare/HORARIO.CSV" "$raiz/HORARIO-sin-corregir.CSV"
cp "$w/c/ZTEMP/PLANTILLA.DBF" "$w/c/ZTEMP/PLANTILLA.MDX" "$l/c/ZTEMP/"
"$linux" --unidad-c "$l/c" exportar "$l/zare" > /dev/null

plantilla=$("$dbfcheck" dump "$w/c/ZTEMP/PLANTILLA.DBF" | tr -d '\0') || falla "dbfcheck cannot read PLANTILLA.DBF"
grep -aq $'^record\t3\t10:15\t11:00$' <<< "$plantilla" || falla "hour 3 does not start at 10:15 in PLANTILLA.DBF"
[ "$(grep -ac ':15' <<< "$plantilla")" -eq 1 ] || falla "more than hour 3 changed in PLANTILLA.DBF"
grep -aq '"10:15"' "$w/zare/HORARIO.CSV" || falla "the corrected hour is not in HORARIO.CSV"
! grep -aq '"10:15"' "$raiz/HORARIO-sin-corregir.CSV" || falla "10:15 is in HORARIO.CSV without the correction"
comparados=0
for archivo in "$l"/c/ZTEMP/*; do
  nombre=$(basename "$archivo")
  [ "$nombre" = TRANSORBELINZARE.LCK ] && continue
  cmp -s "$archivo" "$w/c/ZTEMP/$nombre" || falla "$nombre differs between the Windows program's windows and Linux"
  comparados=$((comparados + 1))
done
[ "$comparados" -ge 15 ] || falla "only $comparados files in ZTEMP"
cmp -s "$l/zare/HORARIO.CSV" "$w/zare/HORARIO.CSV" || falla "HORARIO.CSV differs"
echo "ventanas.sh: $comparados tables and indexes and HORARIO.CSV the same through the windows as on Linux"

i=$raiz/incrustado
"$wine_run" "$conductor" "$exe" incrusta "$(windows "$i/c")" "$(windows "$i/zare")" || falla "the launch modes failed"

if [ -n "$chm" ]; then
  a=$raiz/ayuda
  "$wine_run" "$conductor" "$exe" ayuda "$(windows "$a/c")" "$(windows "$a/zare")" "$(windows "$chm")" ||
    falla "the help of the windows failed"
fi
