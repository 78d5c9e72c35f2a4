#!/usr/bin/env bash
# The suite again under sanitizers, each in a build folder of its own:
#  - build-asan: AddressSanitizer and UndefinedBehaviorSanitizer over the
#    core, POSIX, X11, Qt and end-to-end tests (packaging is left out);
#  - build-tsan: ThreadSanitizer over the tests of the code with threads of
#    its own: the clipboard readers and the kept history's writer.
# Any finding ends the run with a failure. Qt and the libraries below it are
# not instrumented; the few findings inside them are suppressed in
# tests/sanitize/*.supp, each with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-2}"
supp="$PWD/tests/sanitize"
what="${1:-all}"
# Every report goes to a file here as well, so that a finding in a program
# whose output a test throws away (the end-to-end tests) still fails the run.
logs="$PWD/build-sanitize-logs"
rm -rf "$logs" && mkdir -p "$logs"
findings() {
  if compgen -G "$logs/*" >/dev/null; then
    echo "Sanitizer findings:" >&2
    cat "$logs"/* >&2
    return 1
  fi
}

configure() {  # DIR KIND
  [ -f "$1/CMakeCache.txt" ] ||
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DSTOCK_SANITIZE="$2"
}

if [ "$what" = all ] || [ "$what" = address ]; then
  configure build-asan address
  cmake --build build-asan -j"$jobs" --target \
    core_tests selection_tests posix_tests qt_tests x11_unit_tests x11_tests x11_qt_tests wayland_tests \
    test_owner wl_test_owner store_tests store_child stockkun xpixels xclose sni_watcher
  export ASAN_OPTIONS="halt_on_error=1:detect_stack_use_after_return=1:log_path=$logs/asan"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp:log_path=$logs/ubsan"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  scripts/with-xvfb.sh ctest --test-dir build-asan -L 'core|posix|x11|wayland|qt|e2e' --output-on-failure
  findings
fi

if [ "$what" = all ] || [ "$what" = thread ]; then
  configure build-tsan thread
  cmake --build build-tsan -j"$jobs" --target selection_tests x11_unit_tests x11_tests test_owner wayland_tests wl_test_owner \
    store_tests store_child
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp:log_path=$logs/tsan"
  scripts/with-xvfb.sh sh -c 'build-tsan/tests/selection_tests && build-tsan/tests/x11_unit_tests && build-tsan/tests/x11_tests'
  build-tsan/tests/store_tests
  scripts/in-sway.sh build-tsan/tests/wayland_tests
  findings
fi
