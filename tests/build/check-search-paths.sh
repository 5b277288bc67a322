#!/usr/bin/env bash
# No binary in the given folders may make the dynamic loader look for libraries in the folder a user runs
# it from: no RUNPATH or RPATH entry that is empty or relative ($ORIGIN-based ones are fine). And a qbv
# started from a folder of the user's own never even tries a library there.
#   check-search-paths.sh QBV_EXECUTABLE FOLDER...
set -uo pipefail
qbv=$1
shift
status=0

for folder in "$@"; do
    for file in "$folder"/*; do
        [ -f "$file" ] && head -c 4 "$file" | grep -q ELF || continue
        paths=$(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
        [ -z "$paths" ] && continue
        # An empty entry shows as a leading, trailing or doubled colon.
        if [[ "$paths" == :* || "$paths" == *: || "$paths" == *::* ]]; then
            echo "FAIL: $file has an empty library search path entry: [$paths]"
            status=1
            continue
        fi
        IFS=: read -r -a entries <<<"$paths"
        for entry in "${entries[@]}"; do
            if [[ "$entry" != /* && "$entry" != '$ORIGIN'* ]]; then
                echo "FAIL: $file has a relative library search path entry: $entry"
                status=1
            fi
        done
    done
done

planted=$(mktemp -d)
trap 'rm -rf "$planted"' EXIT
touch "$planted/libgcc_s.so.1" "$planted/libstdc++.so.6"
qbv=$(realpath "$qbv")
# Every file the loader tries by a relative name, or inside the planted folder, is a hole.
tried=$(cd "$planted" && LD_DEBUG=libs "$qbv" --version 2>&1 >/dev/null | sed -n 's/.*trying file=//p' |
    awk -v here="$planted" '$0 !~ /^\// || index($0, here) == 1')
if [ -n "$tried" ]; then
    echo "FAIL: $qbv looked for libraries in the folder it was run from:"
    echo "$tried" | head -5
    status=1
fi
[ $status -eq 0 ] && echo "No library search path reaches the current folder."
exit $status
