#!/bin/sh
# Sets up the machine, checks the layering, builds every library, tool and test
# suite under AddressSanitizer and UndefinedBehaviorSanitizer with warnings as
# errors, and runs every test.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/check-layers.sh
sh tests/scripts/check_layers_test.sh
./scripts/check-format.sh

BUILD=build-tests
JOBS=$(nproc 2>/dev/null || echo 2)
# -g1 keeps file and line in the sanitizers' reports at a fraction of full
# debug information's compile and link time.
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
      -DHALVARO_SANITIZE=ON -DHALVARO_WERROR=ON -DHALVARO_TESTS=ON -DHALVARO_BENCH=OFF
cmake --build "$BUILD" -j "$JOBS"

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$BUILD" -j "$JOBS" --output-on-failure --timeout 600
