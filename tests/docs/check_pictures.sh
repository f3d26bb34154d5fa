#!/usr/bin/env bash
# Every picture a Markdown file shows is in the tree and is a PNG:
#   check_pictures.sh FILE.md...     (paths in ![...](path) relative to the file)
set -euo pipefail
bad=0
for md in "$@"; do
    dir=$(dirname "$md")
    while IFS= read -r path; do
        file=$dir/$path
        if [ ! -f "$file" ]; then
            echo "$md shows $path, which is not in the tree (scripts/screenshots.sh makes it)"
            bad=1
        elif [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
            echo "$md shows $path, which is not a PNG"
            bad=1
        else
            echo "$path: $(wc -c <"$file") bytes"
        fi
    done < <(grep -oE '!\[[^]]*\]\([^)]+\)' "$md" | sed -E 's/.*\(([^)]+)\)/\1/')
done
exit $bad
