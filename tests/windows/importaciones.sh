#!/usr/bin/env bash
# A Windows program of ours runs with nothing beside it: every DLL it imports is one that
# Windows itself has.
#   importaciones.sh PROGRAM.exe
set -euo pipefail
programa=$1
propias='^(kernel32|user32|gdi32|shell32|advapi32|comctl32|comdlg32|ole32|oleaut32|msimg32|shlwapi|uxtheme|version|msvcrt|ws2_32|hhctrl\.ocx)\.dll$'
importadas=$(x86_64-w64-mingw32-objdump -p "$programa" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$importadas" ] || { echo "importaciones.sh: no imports read from $programa" >&2; exit 1; }
ajenas=$(grep -Ev "$propias" <<< "$importadas" || true)
if [ -n "$ajenas" ]; then
  echo "importaciones.sh: $programa needs DLLs that Windows does not have: $ajenas" >&2
  exit 1
fi
echo "importaciones.sh: $(basename "$programa") imports only $(xargs <<< "$importadas")"
