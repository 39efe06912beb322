#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then, where clang
# with libFuzzer is installed, builds the fuzz harnesses and runs each briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
(cd build && ctest --output-on-failure -j2)

if command -v clang++ >/dev/null &&
   echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
     clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DBRENNIC_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build-fuzz -j2
  (cd build-fuzz && ctest --output-on-failure)
else
  echo "clang with libFuzzer not found: fuzz harnesses skipped"
fi
