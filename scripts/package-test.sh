#!/usr/bin/env bash
# Builds both Debian packages and checks them: their file lists, their dependencies (the
# logger's package must install on a board without a display), lintian (no errors, no
# warnings), the desktop entry and the AppStream metainfo, and the command-line programs run
# from the unpacked files.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t debs < <(bash scripts/package.sh | tail -n 2)
log_deb=${debs[0]}
app_deb=${debs[1]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}
[[ $(basename "$log_deb") == voltrane-log_* && $(basename "$app_deb") == voltrane_* ]] ||
    fail "unexpected package names: ${debs[*]}"

# Checks that a package holds exactly the expected files under usr/, none elsewhere.
check_files() {
    local deb=$1
    shift
    dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$' | sort >"$work/files"
    printf '%s\n' "$@" | sort >"$work/expected"
    diff -u "$work/expected" "$work/files" >&2 || fail "$(basename "$deb"): file list differs"
}
man_page() { echo "./usr/share/man/man1/$1.1.gz"; }
check_files "$log_deb" ./usr/bin/voltrane-log ./usr/bin/voltrane-meter-sim \
    "$(man_page voltrane-log)" "$(man_page voltrane-meter-sim)" \
    ./usr/share/doc/voltrane-log/copyright ./usr/share/doc/voltrane-log/changelog.gz
check_files "$app_deb" ./usr/bin/voltrane "$(man_page voltrane)" \
    ./usr/share/voltrane/attention.wav \
    ./usr/share/applications/voltrane.desktop \
    ./usr/share/icons/hicolor/scalable/apps/voltrane.svg \
    ./usr/share/metainfo/org.voltrane.voltrane.metainfo.xml \
    ./usr/share/doc/voltrane/copyright ./usr/share/doc/voltrane/changelog.gz

log_depends=$(dpkg-deb -f "$log_deb" Depends)
app_depends=$(dpkg-deb -f "$app_deb" Depends)
for lib in libqt6core6 libqt6serialport6 libsqlite3; do
    grep -q "$lib" <<<"$log_depends" || fail "voltrane-log does not depend on $lib: $log_depends"
done
for lib in libqt6gui libqt6widgets libqt6multimedia libqt6svg; do
    grep -q "$lib" <<<"$log_depends" && fail "voltrane-log depends on $lib: $log_depends"
done
version=$(dpkg-deb -f "$log_deb" Version)
grep -qF "voltrane-log (= $version)" <<<"$app_depends" ||
    fail "voltrane does not depend on voltrane-log (= $version): $app_depends"
grep -q libqt6widgets <<<"$app_depends" || fail "voltrane does not depend on Qt Widgets"

lintian --fail-on error,warning "$log_deb" "$app_deb" || fail "lintian reports errors or warnings"

dpkg-deb -x "$log_deb" "$work/root"
dpkg-deb -x "$app_deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/voltrane.desktop"
metainfo=$work/root/usr/share/metainfo/org.voltrane.voltrane.metainfo.xml
appstreamcli validate --no-net "$metainfo"
for f in "$work"/root/usr/bin/*; do
    p=$(basename "$f")
    grep -qF "<binary>$p</binary>" "$metainfo" || fail "the metainfo does not name $p"
    file "$f" | grep -q "stripped" && ! file "$f" | grep -q "not stripped" || fail "$p not stripped"
    [ "$p" = voltrane ] && continue # a window program: its start is covered by the suite
    "$f" --help >"$work/help" || fail "$p --help failed"
    grep -qi "usage" "$work/help" || fail "$p --help printed no usage"
done
for page in "$work"/root/usr/share/man/man1/*.gz; do
    for text in "SEE ALSO" dialout "by\\\\-id"; do
        zgrep -q "$text" "$page" || fail "$(basename "$page") does not mention $text"
    done
done
echo "package test: $(basename "$log_deb") and $(basename "$app_deb") passed"
