#!/usr/bin/env bash
# make install into a scratch DESTDIR: exactly the expected files under the
# prefix, a valid desktop entry and metainfo, the icon at each of its sizes;
# make uninstall then removes all of it and nothing else.
set -uo pipefail
: "${STOCK_BUILD:?the build folder}" "${STOCK_SOURCE:?the source folder}"
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $*"; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# Someone else's file in a folder that the install also uses.
mkdir -p "$root/usr/local/share/applications"
echo '[Desktop Entry]' > "$root/usr/local/share/applications/other.desktop"
before=$(cd "$root" && find . | sort)

sizes=(16 22 24 32 48 64 128 256)
expected=$(
  {
    echo ./usr/local/share/applications/other.desktop
    echo ./usr/local/bin/stockkun
    echo ./usr/local/share/applications/stockkun.desktop
    for s in "${sizes[@]}"; do echo "./usr/local/share/icons/hicolor/${s}x${s}/apps/stockkun.png"; done
    echo ./usr/local/share/man/man1/stockkun.1.gz
    echo ./usr/local/share/metainfo/example.stockkun.stockkun.metainfo.xml
  } | sort
)

make -s -C "$STOCK_SOURCE" install BUILD="$STOCK_BUILD" DESTDIR="$root" >"$root.log" 2>&1 ||
  { cat "$root.log"; rm -f "$root.log"; fail "make install failed"; }
rm -f "$root.log"
actual=$(cd "$root" && find . ! -type d | sort)
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
pass "make install (PREFIX /usr/local) wrote exactly the expected files"

p="$root/usr/local"
[ -x "$p/bin/stockkun" ] || fail "the program is not executable"
version=$(env -u DISPLAY "$p/bin/stockkun" --version) || fail "the installed program's --version failed"
pass "installed program: $version"

out=$(desktop-file-validate "$p/share/applications/stockkun.desktop" 2>&1)
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Icon=stockkun' "$p/share/applications/stockkun.desktop" || fail "the entry's icon is not stockkun"
pass "desktop-file-validate is clean"

out=$(appstreamcli validate --no-net --no-color "$p/share/metainfo/example.stockkun.stockkun.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
grep -q '^[EW]:' <<<"$out" && fail "appstreamcli validate: $out"
grep -q "<release version=\"${version##* }\"" "$p/share/metainfo/example.stockkun.stockkun.metainfo.xml" ||
  fail "the metainfo's release is not the program's version ${version##* }"
pass "appstreamcli validate --no-net is clean; the release is ${version##* }"

for s in "${sizes[@]}"; do
  f="$p/share/icons/hicolor/${s}x${s}/apps/stockkun.png"
  file -b "$f" | grep -q "^PNG image data, $s x $s, 8-bit/color RGBA" || fail "icon ${s}x${s}: $(file -b "$f")"
done
pass "the icon is a ${sizes[*]} px RGBA PNG each in its own folder"

# Installed again over itself, then removed: still all of it.
make -s -C "$STOCK_SOURCE" install BUILD="$STOCK_BUILD" DESTDIR="$root" >/dev/null 2>&1 || fail "a second make install failed"
make -s -C "$STOCK_SOURCE" uninstall BUILD="$STOCK_BUILD" DESTDIR="$root" >/dev/null 2>&1 || fail "make uninstall failed"
after=$(cd "$root" && find . | sort)
[ "$after" = "$before" ] || fail "uninstall left the tree different:
$(diff <(echo "$before") <(echo "$after"))"
pass "make uninstall removed what install wrote and kept the other file and its folders"

make -s -C "$STOCK_SOURCE" uninstall BUILD="$STOCK_BUILD" DESTDIR="$root" >/dev/null 2>&1 &&
  fail "a second uninstall claims success"
pass "a second uninstall says there is nothing to remove"

# Another prefix below a DESTDIR that is not there yet.
rm -rf "$root"
make -s -C "$STOCK_SOURCE" install BUILD="$STOCK_BUILD" DESTDIR="$root" PREFIX=/opt/stockkun >/dev/null 2>&1 ||
  fail "make install PREFIX=/opt/stockkun failed"
[ -x "$root/opt/stockkun/bin/stockkun" ] && [ ! -e "$root/usr" ] || fail "PREFIX=/opt/stockkun not honoured"
make -s -C "$STOCK_SOURCE" uninstall BUILD="$STOCK_BUILD" DESTDIR="$root" PREFIX=/opt/stockkun >/dev/null 2>&1 ||
  fail "make uninstall PREFIX=/opt/stockkun failed"
[ -z "$(find "$root" -mindepth 1)" ] || fail "left behind: $(find "$root" -mindepth 1)"
pass "PREFIX=/opt/stockkun: installed there, and nothing left after uninstall"
