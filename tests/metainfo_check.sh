#!/usr/bin/env bash
# Validates AppStream metainfo as strictly as appstreamcli can: any error, warning, info or
# pedantic hint fails it. Validators before AppStream 1.0 (Debian 12's 0.16) do not know the
# <developer> tag, which 1.0 asks for in place of <developer_name>; their one hint that it is
# unknown is let pass.  usage: metainfo_check.sh FILE   (77: appstreamcli is not installed)
set -uo pipefail
file=${1:?usage: metainfo_check.sh FILE}
command -v appstreamcli >/dev/null || { echo "SKIP: appstreamcli is not installed"; exit 77; }
out=$(appstreamcli validate --no-net --strict --pedantic "$file" 2>&1)
echo "$out"
version=$(appstreamcli --version | sed -n 's/^AppStream version: *//p')
findings=$(grep -E '^[EWIP]: ' <<<"$out")
if [ "${version%%.*}" = 0 ]; then
    findings=$(grep -vE '^I: [^ ]+:[0-9]+: unknown-tag developer$' <<<"$findings")
fi
[ -z "$findings" ] || { echo "FAIL: appstreamcli $version finds fault with $file" >&2; exit 1; }
echo "metainfo: $file is valid to appstreamcli $version"
