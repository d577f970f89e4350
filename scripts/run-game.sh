#!/bin/sh
# Sets up the machine, builds the optimised game and starts it. Arguments go
# to the game (for example "-changedir=FOLDER" to read the data from FOLDER).
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh

BUILD=build
JOBS=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DHALVARO_TESTS=OFF
cmake --build "$BUILD" -j "$JOBS" --target halvaro
# The game reads main.pak from its own folder, the top of the build.
exec "$BUILD/halvaro" "$@"
