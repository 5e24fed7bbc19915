#!/usr/bin/env bash
# Installs what is missing, builds the test build (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole suite with ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTALVENOR_SANITIZE=ON >/dev/null
cmake --build "$build"
cd "$build"
ctest --output-on-failure --timeout 600 "$@"
