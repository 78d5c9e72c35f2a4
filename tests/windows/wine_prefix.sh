# Sourced by the Windows tests: a Wine prefix beside the Windows build, made
# once and then reused (its first start is slow), with the layouts' Japanese
# font mapped to IPAPGothic. Needs the caller's `fail`.
# Usage: use_wine_prefix BUILD_DIR
use_wine_prefix() {
  command -v wine >/dev/null || fail "wine is not installed"
  export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -e "$WINEPREFIX/.stockkun-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || fail "the Wine prefix could not be made"
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1 ||
    fail "the font replacement could not be written"
  wineserver -w
  touch "$WINEPREFIX/.stockkun-ready"
}
