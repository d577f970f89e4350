#!/bin/sh
# Sets up the machine, checks the layering and the test files' names, builds
# every library, tool and test suite under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, and runs every test. The
# real-window tests need an X display: where none is set, they get a virtual
# one (Xvfb) that lives as long as the tests.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/check-layers.sh
sh tests/scripts/check_layers_test.sh
./scripts/check-test-names.sh
sh tests/scripts/check_test_names_test.sh
./scripts/check-format.sh

# The real-window tests need an X display and choose SDL's x11 driver
# themselves; they find it in HALVARO_X11_DISPLAY. Every other test keeps the
# dummy driver set below and sees no display, which would bring up D-Bus in
# each of them. Where none is set, a virtual one serves until this script ends.
if [ -n "${DISPLAY:-}" ]; then
    HALVARO_X11_DISPLAY=$DISPLAY
else
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "run-tests: Xvfb is missing, and the real-window tests need an X display" \
             "(scripts/setup.sh installs the xvfb package, or set DISPLAY)" >&2
        exit 1
    fi
    xvfb_out=$(mktemp -d)
    # -displayfd picks a free display and writes its number once it serves.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$xvfb_out/display" 2>"$xvfb_out/log" &
    xvfb=$!
    trap 'kill "$xvfb" 2>/dev/null; rm -rf "$xvfb_out"' EXIT
    # A signal that ends the shell skips the EXIT trap; and the terminal's
    # hangup reaches Xvfb too, which takes it as a reset and serves on.
    trap 'exit 129' HUP
    trap 'exit 130' INT TERM
    waited=0
    while [ ! -s "$xvfb_out/display" ]; do
        if ! kill -0 "$xvfb" 2>/dev/null || [ $waited -ge 100 ]; then
            cat "$xvfb_out/log" >&2
            echo "run-tests: Xvfb did not start (see above); the real-window tests need an X display" >&2
            exit 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    HALVARO_X11_DISPLAY=":$(head -n 1 "$xvfb_out/display")"
fi
export HALVARO_X11_DISPLAY
unset DISPLAY

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
