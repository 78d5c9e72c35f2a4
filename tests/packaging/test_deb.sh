#!/usr/bin/env bash
# The Debian package as CPack builds it: name, version, files, dependencies
# that this system can satisfy, lintian without errors, a program that runs.
set -uo pipefail
: "${STOCK_BUILD:?the build folder}"
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$STOCK_BUILD/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log"; fail "cpack failed"; }
version=$(env -u DISPLAY "$STOCK_BUILD/stockkun" --version | awk '{print $NF}')
arch=$(dpkg --print-architecture)
deb="$out/stockkun_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb; made: $(ls "$out")"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = stockkun ] && [ "$(field Version)" = "$version" ] && [ "$(field Architecture)" = "$arch" ] ||
  fail "package fields: $(field Package) $(field Version) $(field Architecture)"
pass "$(basename "$deb"): package stockkun, version $version, $arch"

expected=$(
  {
    echo ./usr/bin/stockkun
    echo ./usr/share/applications/stockkun.desktop
    echo ./usr/share/doc/stockkun/changelog.gz
    echo ./usr/share/doc/stockkun/copyright
    for s in 16 22 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${s}x${s}/apps/stockkun.png"; done
    echo ./usr/share/man/man1/stockkun.1.gz
    echo ./usr/share/metainfo/example.stockkun.stockkun.metainfo.xml
  } | sort
)
actual=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
[ "$actual" = "$expected" ] || fail "packaged files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
pass "the package holds exactly the expected files under /usr"

# Every dependency (one of its alternatives) is installed or installable here
# at a version that satisfies it.
depends=$(field Depends)
for want in fonts-ipafont-gothic libqt6widgets6 libqt6gui6 libxcb1; do
  grep -Eq "(^|, )$want( |,|$)" <<<"$depends" || fail "Depends lacks $want: $depends"
done
satisfied() {  # NAME [OP VERSION]
  local name=$1 op=${2:-} ver=${3:-} have candidate
  have=$(dpkg-query -W -f='${Status}\t${Version}' "$name" 2>/dev/null | awk -F'\t' '/install ok installed/ {print $2}')
  candidate=$(apt-cache policy "$name" 2>/dev/null | awk '/Candidate:/ {print $2}')
  for v in $have $candidate; do
    [ "$v" = "(none)" ] && continue
    [ -z "$op" ] && return 0
    dpkg --compare-versions "$v" "$(sed 's/>=/ge/;s/<=/le/;s/>>/gt/;s/<</lt/;s/=/eq/' <<<"$op")" "$ver" && return 0
  done
  return 1
}
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
  ok=no
  IFS='|' read -ra alternatives <<<"$clause"
  for alt in "${alternatives[@]}"; do
    read -r name rest <<<"$alt"
    name=${name%%:*}
    op=$(sed -nE 's/^\(([<>=]+) *([^)]*)\)$/\1/p' <<<"$rest")
    ver=$(sed -nE 's/^\(([<>=]+) *([^)]*)\)$/\2/p' <<<"$rest")
    satisfied "$name" "$op" "$ver" && { ok=yes; break; }
  done
  [ $ok = yes ] || fail "dependency not satisfiable here: $clause"
done
pass "Depends resolved on this system: $depends"

lintian --fail-on error "$deb" >"$out/lintian.log" 2>&1
status=$?
lint=$(grep -v 'running with root privileges' "$out/lintian.log")
[ -n "$lint" ] && echo "$lint"
[ "$status" -eq 0 ] || fail "lintian found errors"
pass "lintian: no errors ($(grep -c '^W:' <<<"$lint") warnings)"

dpkg-deb -x "$deb" "$out/root"
[ "$(env -u DISPLAY "$out/root/usr/bin/stockkun" --version | awk '{print $NF}')" = "$version" ] ||
  fail "the packaged program does not say its version"
file -b "$out/root/usr/bin/stockkun" | grep -q ', stripped' || fail "the packaged program is not stripped"
pass "the packaged program is stripped and runs --version"
