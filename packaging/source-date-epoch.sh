#!/usr/bin/env bash
# Prints the moment that dates everything the packages hold, in seconds since
# 1970: SOURCE_DATE_EPOCH when it is set, else the time of the commit checked
# out, else the time of the newest file of the tree (a tarball made by
# `git archive` dates every file with its commit's time). The same sources
# thus give the same packages, whenever they are made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  echo "$SOURCE_DATE_EPOCH"
  exit 0
fi
# Only this tree's own repository counts, not one that happens to hold it.
if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ] &&
  git -C "$root" log -1 --format=%ct 2>/dev/null; then
  exit 0
fi
find "$root" \( -name build -o -name .git \) -prune -o -type f -printf '%T@\n' |
  sort -n | tail -n 1 | cut -d . -f 1
