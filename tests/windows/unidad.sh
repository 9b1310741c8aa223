#!/usr/bin/env bash
# On Windows drive letters are real: without --unidad-c or TRANSORBELIN_UNIDAD_C the work folder
# is C:\ZTEMP of the machine, here Wine's drive C, and the program started from a folder on
# drive C finds it there. Then a folder named by --unidad-c stands for drive C again.
#   unidad.sh TRANSORBELIN.exe SOURCE_DIR   (WINEPREFIX set, as scripts/windows-tests does)
set -euo pipefail
exe=$1 source=$2
unidad=$WINEPREFIX/drive_c
falla() { echo "unidad.sh: $*" >&2; exit 1; }
[ -d "$unidad" ] || falla "no drive C in $WINEPREFIX"
[ ! -e "$unidad/ZTEMP" ] || falla "$unidad/ZTEMP is there already"
escuela=$(mktemp -d "$unidad/escuela.XXXXXX")
otra=$(mktemp -d)
trap 'rm -rf "$unidad/ZTEMP" "$escuela" "$otra"' EXIT
mkdir -p "$escuela/zare" "$unidad/ZTEMP"
cp "$source"/samples/zare/*.csv "$escuela/zare/"
cp "$source/samples/niveles.csv" "$escuela/"
c_escuela="C:\\$(basename "$escuela")"

salida=$(cd "$escuela" && env -u TRANSORBELIN_UNIDAD_C "$source/scripts/wine-run" "$exe" \
  importar "$c_escuela\\zare" 2026 "$c_escuela\\niveles.csv") || falla "the import failed: $salida"
[ "$salida" = $'Proceso finalizado\r' ] || falla "the import said: $salida"
for tabla in GRUPOST.DBF PROFT.DBF PROFT.MDX ASIGT.DBF CONVOCAZARE.DBF CURSOST.DBF; do
  [ -f "$unidad/ZTEMP/$tabla" ] || falla "$tabla is not in C:\\ZTEMP"
done

# The option still names a folder that stands for drive C (and C: then means that folder, so the
# centre's files are named on Wine's drive Z:, the Linux root).
mkdir -p "$otra/ZTEMP"
z_escuela="Z:${escuela//\//\\}"
salida=$(cd "$escuela" && "$source/scripts/wine-run" "$exe" --unidad-c "Z:${otra//\//\\}" \
  importar "$z_escuela\\zare" 2026 "$z_escuela\\niveles.csv") || falla "the import with --unidad-c failed: $salida"
[ -f "$otra/ZTEMP/GRUPOST.DBF" ] || falla "--unidad-c was not taken for drive C"
echo "unidad.sh: C:\\ZTEMP on Wine's drive C, and --unidad-c in its place"
