#!/usr/bin/env bash
# Builds the Debian package and checks it: its file list, lintian (no errors), the desktop
# entry and the AppStream metainfo, and the command-line programs run from the unpacked files.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(bash scripts/package.sh | tail -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package test: $*" >&2
    exit 1
}

programs=(voltrane voltrane-meter-sim voltrane-log)
expected=(./usr/share/voltrane/attention.wav
          ./usr/share/applications/voltrane.desktop
          ./usr/share/icons/hicolor/scalable/apps/voltrane.svg
          ./usr/share/metainfo/org.voltrane.voltrane.metainfo.xml
          ./usr/share/doc/voltrane/copyright
          ./usr/share/doc/voltrane/changelog.gz)
for p in "${programs[@]}"; do
    expected+=("./usr/bin/$p")
done
for page in packaging/man/*.1; do
    expected+=("./usr/share/man/man1/$(basename "$page").gz")
done
dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/files"
for f in "${expected[@]}"; do
    grep -qxF "$f" "$work/files" || fail "$f missing from $deb"
done
if grep -v -e '^\./usr/' -e '^\./$' "$work/files"; then
    fail "files outside /usr"
fi

lintian --fail-on error "$deb" || fail "lintian reports errors"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/voltrane.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.voltrane.voltrane.metainfo.xml"
for p in "${programs[@]}"; do
    [ "$p" = voltrane ] && continue # a window program: its start is covered by the suite
    "$work/root/usr/bin/$p" --help >"$work/help" || fail "$p --help failed"
    grep -qi "usage" "$work/help" || fail "$p --help printed no usage"
done
for f in "$work"/root/usr/bin/*; do
    file "$f" | grep -q "stripped" && ! file "$f" | grep -q "not stripped" || fail "$f not stripped"
done
echo "package test: $(basename "$deb") passed (${#expected[@]} files checked)"
