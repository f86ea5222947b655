#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given seconds (default 60).
# Crashes are written to fuzz/regressions/<target>/ and make the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/deps.sh
if [ "$(id -u)" -eq 0 ]; then
    dpkg-query -W clang-14 libclang-rt-14-dev >/dev/null 2>&1 ||
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends clang-14 libclang-rt-14-dev
fi
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DVOLTRANE_FUZZ=ON -DVOLTRANE_BUILD_TESTS=OFF -DVOLTRANE_BUILD_BENCH=OFF >/dev/null
targets=(fuzz_replyline fuzz_logfile)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
for t in "${targets[@]}"; do
    corpus=fuzz/corpus/${t#fuzz_}
    regressions=fuzz/regressions/${t#fuzz_}
    mkdir -p "$corpus" "$regressions" build-fuzz/corpus-$t
    # Known crash inputs first: each must now pass.
    if compgen -G "$regressions/*" >/dev/null; then
        "build-fuzz/$t" "$regressions"/* >/dev/null 2>&1 || { echo "$t: a regression input fails" >&2; exit 1; }
    fi
    echo "fuzzing $t for ${seconds}s"
    "build-fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$regressions/" build-fuzz/corpus-$t "$corpus" 2>build-fuzz/$t.log ||
        { tail -40 build-fuzz/$t.log >&2; exit 1; }
    grep -E '^Done|#[0-9]+.*DONE' build-fuzz/$t.log | tail -1 || true
done
