#!/bin/sh
# Installs what is missing, builds, and runs the whole test suite.
#   BUILD_DIR   build directory (default: build)
#   CMAKE_ARGS  extra configuration, e.g. -DTARVO_SANITIZE=ON
set -e
cd "$(dirname "$0")/.."
sh scripts/setup-debian.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" $CMAKE_ARGS >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
