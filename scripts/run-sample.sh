#!/bin/sh
# Installs what is missing, builds, and runs the command-line tool on the
# bundled samples (info of each, and its frames dumped beside it under out/).
set -e
cd "$(dirname "$0")/.."
sh scripts/setup-debian.sh
cmake -S . -B build -DTARVO_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)" --target tarvo_tool
mkdir -p out
cd out && ../build/tools/tarvo
