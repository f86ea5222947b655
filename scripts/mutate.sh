#!/usr/bin/env bash
# Tries one fault: puts a change into one file under src/, rebuilds into build-mut/ (apart from
# the everyday build/), runs the suite and says whether a test caught it. The file is restored
# whatever happens (a failed build, Ctrl-C).
#
#   bash scripts/mutate.sh FILE CHANGE [-R REGEX]
#     FILE    a file under src/, e.g. src/logger/LoggerRules.cpp
#     CHANGE  a sed expression ('s/<= 60/< 60/') or the path of a patch file for FILE
#     -R      run only the tests whose names match REGEX (faster while exploring)
# Exit status: 0 CAUGHT, 1 MISSED, 2 usage or the change matched nothing, 3 the mutant does not
# build (neither caught nor missed: try a change that compiles).
set -euo pipefail
cd "$(dirname "$0")/.."
usage() {
    sed -n '6,9p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
[ $# -eq 2 ] || [ $# -eq 4 ] || usage
file=$1
change=$2
filter=()
if [ $# -eq 4 ]; then
    [ "$3" = -R ] || usage
    filter=(-R "$4")
fi
case $file in src/*) ;; *) echo "mutate: $file is not under src/" >&2; exit 2 ;; esac
[ -f "$file" ] || { echo "mutate: no file $file" >&2; exit 2; }

work=$(mktemp -d)
cp "$file" "$work/original"
restore() {
    # Copied back with a fresh time stamp, so that build-mut/ and build/ both rebuild from the
    # restored text instead of keeping objects made from the mutant.
    cp "$work/original" "$file"
    touch "$file"
    rm -rf "$work"
}
trap restore EXIT
trap 'exit 130' INT TERM

if [ -f "$change" ]; then
    patch -s --no-backup-if-mismatch "$file" "$change" >&2 ||
        { echo "mutate: the patch does not apply to $file" >&2; exit 2; }
else
    sed -i -e "$change" "$file"
fi
if cmp -s "$work/original" "$file"; then
    echo "mutate: the change matched nothing in $file" >&2
    exit 2
fi
diff -u "$work/original" "$file" | sed -n '3,$p' >&2 || true

if [ ! -f build-mut/CMakeCache.txt ]; then
    cmake -S . -B build-mut -DVOLTRANE_BUILD_BENCH=OFF >"$work/build.log" 2>&1 ||
        { cat "$work/build.log" >&2; exit 3; }
fi
if ! cmake --build build-mut -j2 >"$work/build.log" 2>&1; then
    grep -m 5 -E 'error' "$work/build.log" >&2 || true
    echo "NOT BUILT: the mutant does not compile"
    exit 3
fi
# A mutant that hangs a test counts as caught: a test time limit ends it.
if (cd build-mut && QT_QPA_PLATFORM=offscreen ctest -j2 --timeout 300 --output-on-failure \
        "${filter[@]}" >"$work/ctest.log" 2>&1); then
    if grep -q 'No tests were found' "$work/ctest.log"; then
        echo "mutate: no test matches ${filter[*]}" >&2
        exit 2
    fi
    cp "$work/ctest.log" build-mut/mutate-ctest.log
    echo "MISSED: $(grep -E 'tests passed' "$work/ctest.log" || echo 'no test ran')"
    exit 1
fi
cp "$work/ctest.log" build-mut/mutate-ctest.log
echo "CAUGHT by: $(sed -n '/tests FAILED/,$ s/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' \
    "$work/ctest.log" | tr '\n' ' ')(details: build-mut/mutate-ctest.log)"
exit 0
