#!/bin/sh
# Sets up the machine, builds the optimised game and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh

BUILD=build
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DHALVARO_TESTS=OFF
cmake --build "$BUILD" -j "$JOBS"

if [ -x "$BUILD/game/frontend/halvaro" ]; then
    exec "$BUILD/game/frontend/halvaro" "$@"
fi
echo "Halvaro: everything built, but the game cannot start yet:" >&2
echo "its entry point (game/frontend) has not been written." >&2
exit 1
