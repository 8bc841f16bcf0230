#!/usr/bin/env bash
# Fails when a source file includes a header of a folder it may not use: every
# include points down the layers. The table below is the one list of edges
# (docs/ARCHITECTURE.md shows the same); "capture-api" is capture/NVCap.h alone.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders its files may include besides its own.
allowed='
capture:             capture-api
store:               capture-api
record:              capture-api store capture
media:               capture-api store
properties:          capture-api store
properties/editors:  capture-api store media properties canvas/records
canvas/records:      capture-api store
canvas/strip:
canvas:              capture-api store capture media properties properties/editors canvas/records
objects/draw:        capture-api store capture media properties properties/editors canvas/records canvas
objects/interactive: capture-api store capture media properties properties/editors canvas/records canvas objects/draw
app/wm:
app:                 capture-api store capture record media properties properties/editors canvas/records canvas/strip canvas objects/draw objects/interactive
'

# The folder of a path: the longest folder of the table it lies in.
folders=$(printf '%s\n' "$allowed" | sed -n 's/^\([a-z/]*\):.*/\1/p' | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2)
folder_of() {
  [ "$1" = capture/NVCap.h ] && { echo capture-api; return; }
  for f in $folders; do
    case "$1" in "$f"/*) echo "$f"; return ;; esac
  done
}

status=0
for dir in $folders; do
  may=$(printf '%s\n' "$allowed" | sed -n "s#^$dir: *##p")
  while IFS=: read -r file line text; do
    inc=$(sed -n 's/^#include "\([^"]*\)".*/\1/p' <<<"$text")
    to=$(folder_of "$inc")
    [ -z "$to" ] || [ "$to" = "$dir" ] && continue
    if ! tr ' ' '\n' <<<"$may" | grep -qxF -- "$to"; then
      echo "$file:$line: $dir may not include $inc ($to)"
      status=1
    fi
  done < <(git ls-files -co --exclude-standard "$dir/*.h" "$dir/*.cpp" | while read -r f; do
             [ -f "$f" ] && [ "$(folder_of "$f")" = "$dir" ] && grep -Hn '^#include "' "$f" || true
           done)
done
exit $status
