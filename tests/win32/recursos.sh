#!/usr/bin/env bash
# The desktop program's resources as a built program carries them (read with icoutils' wrestool
# from the Linux side): the manifest for common controls 6, per-monitor DPI awareness and
# asInvoker, the icon in the sizes Windows asks for, and the version.
#   recursos.sh PROGRAM.exe VERSION
set -euo pipefail
exe=$1
fallos=0
falla() { echo "FAIL: $*"; fallos=$((fallos + 1)); }

lista=$(wrestool -l "$exe")
manifiesto=$(wrestool --raw -x -t 24 -n 1 "$exe")
for esperado in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
                'requestedExecutionLevel level="asInvoker"' \
                '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
                'PerMonitorV2, PerMonitor'; do
  grep -qF "$esperado" <<< "$manifiesto" || falla "the manifest lacks $esperado"
done
grep -q -- '--type=14 --name=1 ' <<< "$lista" || falla "no icon group 1"
iconos=$(grep -c -- '--type=3 ' <<< "$lista" || true)
[ "$iconos" -ge 6 ] || falla "only $iconos icon images"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
wrestool -x -t 14 -n 1 -o "$tmp/icono.ico" "$exe"
for lado in 16 32 48 256; do
  icotool -l "$tmp/icono.ico" | grep -q -- "--width=$lado --height=$lado --bit-depth=32" || falla "no ${lado}x${lado} icon"
done
version=$(wrestool --raw -x -t 16 -n 1 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -d '\0' || true)
for esperado in VS_VERSION_INFO ProductName TransOrbelinZARE OriginalFilename TransOrbelinZARE.exe "$2"; do
  grep -qF "$esperado" <<< "$version" || falla "the version resource lacks $esperado"
done
[ "$fallos" -eq 0 ] && echo "1 passed, 0 failed" || { echo "0 passed, $fallos failed"; exit 1; }
