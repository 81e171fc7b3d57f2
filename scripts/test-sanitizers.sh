#!/usr/bin/env bash
# Builds the library, the simulated board and every test with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer into
# build-asan/ and runs the whole test suite there; any report stops the test
# that made it. Then runs the start-up tests of the normal build under
# Valgrind memcheck (no errors, no definitely lost bytes), and the tests of
# calls from several threads with ThreadSanitizer in build-tsan/ (only the
# test program is built there).
#
# Called by scripts/test.sh after the normal build and tests.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_SANITIZE=ON \
  -DRADOVL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
# Hosts that are not instrumented themselves: the Python interpreter with the
# ctypes module, and the packaging checks that build and run consumers of
# the installed library.
uninstrumented_hosts='^(python_|package_)'
echo "== tests with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -E "$uninstrumented_hosts"

# There the sanitizer runtime has to be loaded first, and the host's own
# allocations are not ours to count.
if ! ctest --test-dir build-asan -N -R "$uninstrumented_hosts" | grep -q "Total Tests: 0"; then
  echo "== library loaded by uninstrumented hosts, with AddressSanitizer and UndefinedBehaviorSanitizer"
  LD_PRELOAD="$(g++ -print-file-name=libasan.so):$(g++ -print-file-name=libubsan.so)" \
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" -R "$uninstrumented_hosts"
fi

echo "== start-up tests under Valgrind memcheck"
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99 \
  --quiet build/tests/radovl_tests --gtest_filter='StartUpTest.*' \
  --gtest_brief=1
valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99 \
  --quiet build/tests/hardening/radovl_hardening_tests --gtest_filter='OpenFailure.*' --gtest_brief=1
echo "Valgrind memcheck: no errors, no definitely lost bytes"

echo "== threads tests with ThreadSanitizer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRADOVL_SANITIZE_THREAD=ON \
  -DRADOVL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target radovl_tests
TSAN_OPTIONS=halt_on_error=1:exitcode=66 build-tsan/tests/radovl_tests --gtest_filter='ThreadsTest.*' --gtest_brief=1
echo "ThreadSanitizer: no data race reported"
