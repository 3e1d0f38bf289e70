#!/usr/bin/env bash
# Fails when an #include points from a lower layer to a higher one. Folders on
# one line of LAYERS share a layer; each line sits above the ones before it.
# Usage: scripts/layerCheck.sh [ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
LAYERS=(
    "platform analysis state"
    "data"
    "serial monitor"
    "views"
    "report"
    "course"
    "bids"
    "app"
    "tools bench tests"
)
# Includes that may point up, each named with its reason. A line here that no
# longer occurs fails the check too, so the list only shrinks. It is empty.
KNOWN=()

declare -A level=()
for i in "${!LAYERS[@]}"; do
    for folder in ${LAYERS[$i]}; do
        level[$folder]=$i
    done
done

declare -A known=()
for entry in "${KNOWN[@]}"; do
    known[$entry]=1
done

cd "$root"
failed=0
declare -A seen=()
for folder in "${!level[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line text; do
        target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([A-Za-z0-9_-]*\)\/\([^"]*\)".*/\1\/\2/p' <<<"$text")
        to=${target%%/*}
        [ -n "$to" ] && [ -n "${level[$to]:-}" ] || continue
        [ "${level[$to]}" -gt "${level[$folder]}" ] || continue
        if [ -n "${known["$file $target"]:-}" ]; then
            seen["$file $target"]=1
            continue
        fi
        echo "$file:$line: includes $target, from layer '$folder' up to layer '$to'"
        failed=1
    done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder")
done
for entry in "${!known[@]}"; do
    if [ -z "${seen[$entry]:-}" ]; then
        echo "scripts/layerCheck.sh: '$entry' no longer occurs; take it off the list"
        failed=1
    fi
done
[ $failed -eq 0 ] && echo "layers: every include points down or across"
exit $failed
