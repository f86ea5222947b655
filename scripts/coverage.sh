#!/usr/bin/env bash
# Line coverage of src/ by the whole test suite: a Debug build with gcov instrumentation in
# build-cov/, the suite run there, then gcovr's summary. Arguments go on to gcovr (for example
# --html-details build-cov/coverage.html). JOBS sets the build and test parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=${JOBS:-$(nproc)}
cmake -S . -B build-cov -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DVOLTRANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-cov -j"$jobs"
# Counters left by an earlier run would add to this one.
find build-cov -name '*.gcda' -delete
(cd build-cov && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
gcovr -r . --filter src/ build-cov "$@"
