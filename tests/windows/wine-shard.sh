#!/usr/bin/env bash
# Runs one shard of a Windows suite (Google Test's GTEST_TOTAL_SHARDS and GTEST_SHARD_INDEX) in a Wine
# prefix of its own, so that the shards run side by side though each registers tool chains and looks for
# them in the registry. The prefix is the suites' one (WINEPREFIX) linked file by file, which takes no
# time and no room, with registry files of its own; it goes when the shard ends.
#   wine-shard.sh INDEX COUNT WINE PROGRAM [ARGUMENT...]
set -euo pipefail
index=$1 count=$2
shift 2
base=${WINEPREFIX:-$HOME/.wine}
shard=$(mktemp -d "${TMPDIR:-/tmp}/qbv-wine-shard$index.XXXXXX")
end() {
    WINEPREFIX=$shard /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    rm -rf "$shard"
}
trap end EXIT
# A prefix not made yet is made by Wine for the shard, more slowly.
if [ -f "$base/system.reg" ]; then
    cp -al "$base/." "$shard/"
    for registry in "$base"/*.reg; do
        cp --remove-destination "$registry" "$shard/"
    done
fi
WINEPREFIX=$shard GTEST_TOTAL_SHARDS=$count GTEST_SHARD_INDEX=$index "$@"
