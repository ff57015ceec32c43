#!/usr/bin/env bash
# `cmake --install` into an empty prefix puts the program, its menu entry, icon, metainfo and
# man pages where a desktop and man look for them.
# usage: install_test.sh BUILD_DIR BINDIR DATADIR [EXTRA_FILE...]
# (directories relative to the prefix; each EXTRA_FILE too)
set -uo pipefail
build=${1:?usage: install_test.sh BUILD_DIR BINDIR DATADIR [EXTRA_FILE...]}
bindir=$2
datadir=$3
shift 3

tmp=$(mktemp -d "${TMPDIR:-/tmp}/qjellybox-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/log" 2>&1 || { cat "$tmp/log" >&2; fail "cmake --install failed"; }

program=$prefix/$bindir/qjellybox
entry=$prefix/$datadir/applications/org.example.qjellybox.desktop
icon_dir=$prefix/$datadir/icons/hicolor/scalable/apps
[ -f "$program" ] && [ -x "$program" ] || fail "no executable $bindir/qjellybox"
[ -s "$entry" ] || fail "no $datadir/applications/org.example.qjellybox.desktop"
[ -s "$prefix/$datadir/metainfo/org.example.qjellybox.metainfo.xml" ] || fail "no metainfo"
for page in qjellybox jellybox-sim; do
    [ -s "$prefix/$datadir/man/man1/$page.1" ] || fail "no man page $page.1"
done
for extra in "$@"; do
    [ -f "$prefix/$extra" ] && [ -x "$prefix/$extra" ] || fail "no executable $extra"
done

# The entry must name what was installed: the program on PATH by its bare name, the icon by
# its theme name.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon_name=$(sed -n 's/^Icon=//p' "$entry")
[ "${exec_line%% *}" = qjellybox ] || fail "the entry runs '$exec_line', not the installed qjellybox"
[ -n "$icon_name" ] && [ -s "$icon_dir/$icon_name.svg" ] || fail "the entry's icon '$icon_name' is not in $icon_dir"
grep -q '<svg' "$icon_dir/$icon_name.svg" || fail "the icon is not an SVG"
echo "installed: $bindir/qjellybox $* ${entry#"$prefix"/} ${icon_dir#"$prefix"/}/$icon_name.svg, metainfo, man pages"
