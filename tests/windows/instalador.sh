#!/usr/bin/env bash
# The Windows installer under Wine, in the build's Wine prefix: a silent installation into a
# folder on drive C that already holds Orbelin's files, the programs run from there, a silent
# uninstallation that takes only what was installed (Orbelin.ini and Orbelin's own files stay),
# and folders that cannot be written into refused with exit status 2. Also the portable zip.
#   instalador.sh SETUP.EXE PORTABLE.ZIP BIN_DIR SOURCE_DIR [VENTANAS.EXE]
# VENTANAS.EXE is the desktop program, given when the build makes it.
set -euo pipefail
instalador=$1
portable=$2
bin=$3
fuente=$4
ventanas=${5:-}
wine_run=$fuente/scripts/wine-run
export WINEPREFIX=${WINEPREFIX:-$(cd "$bin/.." && pwd)/wine}
export WINEDEBUG=-all

falla() { echo "instalador: $*" >&2; exit 1; }

# The installer's status for a refusal, in `estado`. Its script ends with 0 or 2; another status
# comes from outside it (once, in a clean-clone CI run, a refusal ended with 1 under Wine; five
# runs after it did not), so such a run is said and tried once more before the status is checked.
rechaza() {
  estado=0
  "$wine_run" "$instalador" "$@" || estado=$?
  if [ "$estado" -ne 0 ] && [ "$estado" -ne 2 ]; then
    echo "instalador: $instalador $* ended with $estado, which its script never gives; once more" >&2
    estado=0
    "$wine_run" "$instalador" "$@" || estado=$?
  fi
}

# A folder of our own on Wine's drive C, and the same folder as Windows names it.
"$wine_run" "$bin/transorbelin.exe" > /dev/null 2>&1 || true   # makes the prefix when missing
raiz=$WINEPREFIX/drive_c/instalador.$$
raiz_win='C:\instalador.'$$
inmutable=""
limpia() {
  [ -n "$inmutable" ] && chattr -i "$inmutable" 2> /dev/null || true
  rm -rf "$raiz"
}
trap limpia EXIT
mkdir -p "$raiz/Orbelin"

instalados=(transorbelin.exe ZARE.CHM LEEME-TransOrbelinZARE.txt "Desinstalar TransOrbelinZARE.exe")
if [ -n "$ventanas" ]; then
  instalados+=(TransOrbelinZARE.exe)
fi

# Orbelin's folder as the school has it: its INI file and a file of its own.
orbelin=$raiz/Orbelin
printf '[Orbelin]\r\nCentro=IES de prueba\r\n' > "$orbelin/Orbelin.ini"
printf 'datos de Orbelin\r\n' > "$orbelin/HORARIOS.DAT"
cp "$orbelin/Orbelin.ini" "$raiz/Orbelin.ini.antes"

# --- Silent installation ---------------------------------------------------------------------
estado=0
"$wine_run" "$instalador" /S "/D=$raiz_win\\Orbelin" || estado=$?
[ "$estado" -eq 0 ] || falla "the silent installation ended with $estado"
for f in "${instalados[@]}"; do
  [ -f "$orbelin/$f" ] || falla "$f was not installed"
done
cmp -s "$bin/transorbelin.exe" "$orbelin/transorbelin.exe" || falla "the installed transorbelin.exe differs from the build's"
cmp -s "$bin/ZARE.CHM" "$orbelin/ZARE.CHM" || falla "the installed ZARE.CHM differs from the build's"
if [ -n "$ventanas" ]; then
  cmp -s "$ventanas" "$orbelin/TransOrbelinZARE.exe" || falla "the installed TransOrbelinZARE.exe differs from the build's"
fi
cmp -s "$raiz/Orbelin.ini.antes" "$orbelin/Orbelin.ini" || falla "the installation changed Orbelin.ini"
[ ! -e "$orbelin/~TransOrbelinZARE.prueba" ] || falla "the installer left its probe file behind"

# LEEME: UTF-8 with its byte order mark, CR LF, and the project's version.
leeme=$orbelin/LEEME-TransOrbelinZARE.txt
[ "$(head -c 3 "$leeme" | od -An -tx1 | tr -d ' ')" = "efbbbf" ] || falla "LEEME has no UTF-8 byte order mark"
if tr -d '\r' < "$leeme" | cmp -s - "$leeme"; then falla "LEEME does not end its lines in CR LF"; fi
if grep -q $'[^\r]$' "$leeme"; then falla "LEEME has a line without CR"; fi
version=$(sed -n 's/^project(TransOrbelinZARE VERSION \([0-9.]*\).*/\1/p' "$fuente/CMakeLists.txt")
grep -q "versión $version" "$leeme" || falla "LEEME does not name version $version"
case "$(basename "$instalador")" in
  "TransOrbelinZARE-$version-setup.exe") ;;
  *) falla "the installer's name does not carry version $version" ;;
esac

# The installed command-line program runs from there: without arguments, its usage (status 64).
estado=0
"$wine_run" "$orbelin/transorbelin.exe" > /dev/null 2>&1 || estado=$?
[ "$estado" -eq 64 ] || falla "the installed transorbelin.exe ended with $estado instead of 64"

# The uninstaller is registered for the user (no elevation was asked for).
clave='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TransOrbelinZARE'
wine reg query "$clave" /v UninstallString > /dev/null 2>&1 || falla "no uninstall entry under $clave"

# --- Orbelin writes its record; then the silent uninstallation ---------------------------------
printf '[Transformadores]\r\nTransformado=1\r\n' >> "$orbelin/Orbelin.ini"
cp "$orbelin/Orbelin.ini" "$raiz/Orbelin.ini.despues"
# The uninstaller run as NSIS runs it, from a copy elsewhere (_?= names the folder), so that it
# can remove itself and its exit status reaches us.
mkdir "$raiz/copia"
cp "$orbelin/Desinstalar TransOrbelinZARE.exe" "$raiz/copia/"
estado=0
"$wine_run" "$raiz/copia/Desinstalar TransOrbelinZARE.exe" /S "_?=$raiz_win\\Orbelin" || estado=$?
[ "$estado" -eq 0 ] || falla "the silent uninstallation ended with $estado"
for f in "${instalados[@]}"; do
  [ ! -e "$orbelin/$f" ] || falla "$f is still there after the uninstallation"
done
cmp -s "$raiz/Orbelin.ini.despues" "$orbelin/Orbelin.ini" || falla "the uninstallation changed or removed Orbelin.ini"
[ -f "$orbelin/HORARIOS.DAT" ] || falla "the uninstallation removed a file of Orbelin's"
[ "$(ls -A "$orbelin" | sort | tr '\n' ' ')" = "HORARIOS.DAT Orbelin.ini " ] ||
  falla "left in Orbelin's folder: $(ls -A "$orbelin")"
if wine reg query "$clave" > /dev/null 2>&1; then falla "the uninstall entry is still registered"; fi

# --- No folder, or folders that cannot be written into -----------------------------------------
# NSIS puts its default folder in place of a /D= it finds unusable; ours has none, so neither
# case may install anywhere.
[ ! -e "$WINEPREFIX/drive_c/Orbelin" ] || falla "C:\\Orbelin exists before the test; remove it from the test prefix"
rechaza /S
[ "$estado" -eq 2 ] || falla "a silent installation without /D=: exit status $estado instead of 2"
# A path through a file: the folder cannot even be made.
printf 'x' > "$raiz/un-archivo"
rechaza /S "/D=$raiz_win\\un-archivo\\Orbelin"
[ "$estado" -eq 2 ] || falla "a folder that cannot be made: exit status $estado instead of 2"
[ ! -e "$WINEPREFIX/drive_c/Orbelin" ] || falla "an installation without a usable folder went to C:\\Orbelin"

# A folder that exists and takes no new file. Tests run as root, for whom permission bits are no
# bar; an immutable folder (chattr +i) bars root too, where the file system and the machine allow it.
mkdir "$raiz/SoloLectura"
if chattr +i "$raiz/SoloLectura" 2> /dev/null; then
  inmutable=$raiz/SoloLectura
  rechaza /S "/D=$raiz_win\\SoloLectura"
  [ "$estado" -eq 2 ] || falla "an unwritable folder: exit status $estado instead of 2"
  [ -z "$(ls -A "$raiz/SoloLectura")" ] || falla "something was installed into the unwritable folder"
  chattr -i "$inmutable"
  inmutable=""
else
  echo "instalador: SKIP the unwritable existing folder: chattr +i is not allowed here (no CAP_LINUX_IMMUTABLE, or the file system lacks it); the folder that cannot be made was refused"
fi

# --- The portable zip: the same files, flat, without the uninstaller ------------------------------
esperados=$(printf '%s\n' "${instalados[@]}" | grep -v '^Desinstalar' | sort | tr '\n' ' ')
listados=$(unzip -Z1 "$portable" | sort | tr '\n' ' ')
[ "$listados" = "$esperados" ] || falla "the portable zip holds: $listados (expected $esperados)"
mkdir "$raiz/zip"
unzip -q "$portable" -d "$raiz/zip"
cmp -s "$bin/transorbelin.exe" "$raiz/zip/transorbelin.exe" || falla "the zip's transorbelin.exe differs"
cmp -s "$bin/ZARE.CHM" "$raiz/zip/ZARE.CHM" || falla "the zip's ZARE.CHM differs"

echo "instalador: installed ${#instalados[@]} files, uninstalled them keeping Orbelin.ini, refused the unwritable folders"
