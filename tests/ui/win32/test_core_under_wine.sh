#!/usr/bin/env bash
# The core's tests, cross-built for Windows with mingw-w64, run under Wine.
# Usage: test_core_under_wine.sh CORE_TESTS_EXE
set -uo pipefail
fail() { echo "FAIL: $*"; exit 1; }
exe=${1:?core_tests.exe}
source "$(dirname "$0")/wine_prefix.sh"
use_wine_prefix "$(dirname "$exe")"
trap 'wineserver -k 2>/dev/null' EXIT
wine "$exe" --gtest_brief=1
