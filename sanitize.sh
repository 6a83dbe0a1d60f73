#!/bin/sh
# Builds Kez with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ and runs every test there: a leak, a bad access or undefined
# behaviour fails the test that caused it.
set -e
cd "$(dirname "$0")"
./setup.sh build-asan -DKEZ_SANITIZE=ON
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j "$(nproc)" "$@"
