#!/usr/bin/env bash
# The clipboard reader's tests built with ThreadSanitizer, run on a private
# X server. Usage: tsan.sh [BUILD_DIR]
set -euo pipefail
build="${1:-build-tsan}"
cd "$(dirname "$0")/.."
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" -j"${JOBS:-2}" --target x11_unit_tests x11_tests test_owner
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
scripts/with-xvfb.sh bash -c "'$build/tests/x11_unit_tests' --gtest_brief=1 && '$build/tests/x11_tests' --gtest_brief=1"
