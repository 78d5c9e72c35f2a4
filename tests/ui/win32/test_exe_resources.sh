#!/usr/bin/env bash
# What the cross-built executable carries for the shell and the loader, read
# from the file itself with icoutils (no Wine):
# - its first icon group is number 1, with every size the shell asks for at
#   the usual DPI settings, and its smallest and largest images show a
#   picture (opaque and clear parts, several colours), not a blank square;
# - its manifest asks for common controls 6 and per-monitor DPI awareness
#   (v2, with the older per-monitor setting for systems that know only that).
# Usage: test_exe_resources.sh STOCKKUN_EXE
set -uo pipefail
exe=${1:?stockkun.exe}
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- the icon ----
first_group=$(wrestool -l --type=14 "$exe" | head -n 1)
[[ $first_group == *"--name=1 "* ]] || fail "the first icon group is not number 1: '$first_group'"
wrestool -x --type=14 --name=1 "$exe" -o "$work/group.ico" || fail "the icon group cannot be extracted"
sizes=$(icotool -l "$work/group.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | sort -n | tr '\n' ' ')
[ "$sizes" = "16 20 24 32 40 48 64 256 " ] || fail "the icon's square sizes are '$sizes'"
for size in 16 256; do
  icotool -x -w "$size" -o "$work/$size.png" "$work/group.ico" || fail "the ${size}px image cannot be extracted"
  read -r width colours < <(convert "$work/$size.png" -format '%w %k\n' info:)
  read -r least most < <(convert "$work/$size.png" -alpha extract -format '%[fx:minima] %[fx:maxima]\n' info:)
  [ "$width" = "$size" ] || fail "the ${size}px image is $width wide"
  [ "$least" = 0 ] && [ "$most" = 1 ] || fail "the ${size}px image has no clear corners or no opaque body (alpha $least..$most)"
  [ "$colours" -ge 8 ] || fail "the ${size}px image has only $colours colours"
done
pass "icon group 1 with sizes $sizes; the 16 and 256 px images show a picture"

# ---- the manifest ----
wrestool -x --type=24 --name=1 -R "$exe" -o "$work/manifest.xml" || fail "the manifest cannot be extracted"
xpath() { xmllint --xpath "$1" "$work/manifest.xml" 2>/dev/null; }
controls=$(xpath "string(//*[local-name()='dependency']/*[local-name()='dependentAssembly']/*[local-name()='assemblyIdentity'][@name='Microsoft.Windows.Common-Controls']/@version)")
[ "$controls" = 6.0.0.0 ] || fail "the manifest asks for common controls '$controls', not 6.0.0.0"
settings="//*[local-name()='application']/*[local-name()='windowsSettings']"
awareness=$(xpath "string($settings/*[local-name()='dpiAwareness'][namespace-uri()='http://schemas.microsoft.com/SMI/2016/WindowsSettings'])")
# A list: the first entry the system knows wins.
[ "$(echo "$awareness" | tr -d ' ' | cut -d, -f1)" = PerMonitorV2 ] ||
  fail "dpiAwareness is '$awareness', not PerMonitorV2 first"
aware=$(xpath "string($settings/*[local-name()='dpiAware'][namespace-uri()='http://schemas.microsoft.com/SMI/2005/WindowsSettings'])")
[ "$(echo "$aware" | tr -d ' ')" = true/pm ] || fail "dpiAware is '$aware', not true/pm"
pass "the manifest asks for common controls 6 and per-monitor DPI awareness v2 (true/pm before it)"
