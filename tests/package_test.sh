#!/usr/bin/env bash
# Checks a built package: lintian finds no error and no warning, the .deb holds both programs,
# their man pages, the menu entry, its icon and the metainfo, the entry runs the packaged
# program, and the entry and metainfo validate.  usage: package_test.sh DEB
# Exit status 0 passed, 1 failed, 77 skipped (a checking tool is not installed).
set -uo pipefail
deb=${1:?usage: package_test.sh DEB}
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb lintian desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -f "$deb" ] || fail "no package $deb"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qjellybox-package.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# Informational tags are shown but pass; overrides need a written reason in debian/.
lintian --display-info --fail-on error,warning "$deb" >"$tmp/lintian" 2>&1
status=$?
cat "$tmp/lintian"
[ "$status" -eq 0 ] || fail "lintian objects to $deb"

id=org.example.qjellybox
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./||' >"$tmp/files" || fail "dpkg-deb cannot list $deb"
for file in usr/bin/qjellybox usr/bin/jellybox-sim \
            usr/share/man/man1/qjellybox.1.gz usr/share/man/man1/jellybox-sim.1.gz \
            usr/share/applications/$id.desktop usr/share/icons/hicolor/scalable/apps/$id.svg \
            usr/share/metainfo/$id.metainfo.xml; do
    grep -qxF "$file" "$tmp/files" || fail "$deb lacks /$file"
done
# Computed from the binaries, so a lost substitution shows as a missing toolkit.
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends does not name Qt: $(dpkg-deb -f "$deb" Depends)"

dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb cannot unpack $deb"
entry=$tmp/root/usr/share/applications/$id.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$tmp/root/usr/bin/${exec_line%% *}" ] || fail "the entry runs '$exec_line', which the package does not hold in /usr/bin"
desktop-file-validate "$entry" >"$tmp/desktop" 2>&1
[ $? -eq 0 ] && ! grep -qE '(error|warning):' "$tmp/desktop" || fail "the desktop entry: $(cat "$tmp/desktop")"
bash "$(dirname "$0")/metainfo_check.sh" "$tmp/root/usr/share/metainfo/$id.metainfo.xml" >"$tmp/metainfo" 2>&1 ||
    fail "the metainfo: $(cat "$tmp/metainfo")"
echo "package: $(basename "$deb") passes lintian and holds what it should; its entry and metainfo validate"
