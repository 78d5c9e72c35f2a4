#!/usr/bin/env bash
# make install into a scratch DESTDIR: exactly the expected files, a valid
# desktop entry and metainfo; make uninstall then removes all of it and
# nothing else. The Debian package as CPack builds it: the same files under
# /usr, dependencies that this system can satisfy, lintian without errors,
# a stripped program that runs.
set -uo pipefail
: "${STOCK_BUILD:?the build folder}" "${STOCK_SOURCE:?the source folder}"
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
run_make() { make -s -C "$STOCK_SOURCE" "$@" BUILD="$STOCK_BUILD" DESTDIR="$root" >"$work/make.log" 2>&1; }
# The files that an install puts below the prefix PREFIX, with EXTRA ones.
files_are() {  # WHAT ACTUAL PREFIX EXTRA...
  local what=$1 actual=$2 prefix=$3 expected s
  shift 3
  expected=$( (
    printf '%s\n' "$prefix/bin/stockkun" "$prefix/share/applications/stockkun.desktop" "$@"
    for s in 16 22 24 32 48 64 128 256; do echo "$prefix/share/icons/hicolor/${s}x${s}/apps/stockkun.png"; done
    printf '%s\n' "$prefix/share/man/man1/stockkun.1.gz" "$prefix/share/metainfo/example.stockkun.stockkun.metainfo.xml"
  ) | sort)
  [ "$actual" = "$expected" ] || fail "$what differ: $(diff <(echo "$expected") <(echo "$actual"))"
}

# Someone else's file in a folder that the install also uses.
mkdir -p "$root/usr/local/share/applications"
echo '[Desktop Entry]' >"$root/usr/local/share/applications/other.desktop"
before=$(cd "$root" && find . | sort)
run_make install || { cat "$work/make.log"; fail "make install failed"; }
files_are "installed files" "$(cd "$root" && find . ! -type d | sort)" ./usr/local ./usr/local/share/applications/other.desktop
p="$root/usr/local/share"
out=$(desktop-file-validate "$p/applications/stockkun.desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net --no-color "$p/metainfo/example.stockkun.stockkun.metainfo.xml" 2>&1) &&
  ! grep -q '^[EW]:' <<<"$out" || fail "appstreamcli validate: $out"
run_make uninstall || fail "make uninstall failed"
[ "$(cd "$root" && find . | sort)" = "$before" ] || fail "uninstall left the tree different"
pass "make install wrote exactly the expected files, valid; make uninstall removed them and no more"

cpack -G DEB --config "$STOCK_BUILD/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(env -u DISPLAY "$STOCK_BUILD/stockkun" --version | awk '{print $NF}')
deb="$work/deb/stockkun_${version}_$(dpkg --print-architecture).deb"
files_are "packaged files" "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)" ./usr \
  ./usr/share/doc/stockkun/changelog.gz ./usr/share/doc/stockkun/copyright
apt-get install -s "$deb" >"$work/apt.log" 2>&1 || fail "the dependencies cannot be satisfied here: $(tail -n 5 "$work/apt.log")"
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian found errors"; }
dpkg-deb -x "$deb" "$work/unpacked"
[ "$(env -u DISPLAY "$work/unpacked/usr/bin/stockkun" --version | awk '{print $NF}')" = "$version" ] ||
  fail "the packaged program does not say its version"
file -b "$work/unpacked/usr/bin/stockkun" | grep -q ', stripped' || fail "the packaged program is not stripped"
pass "$(basename "$deb"): the same files under /usr, Depends satisfiable here, lintian clean, stripped, runs"
