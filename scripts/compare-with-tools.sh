#!/usr/bin/env bash
# Two figures against the system's own tools, side by side in one run: the whole export of
# the demo set (tern-cli export) beside `cp -r` of the same files to the same disk, and
# `tern-cli dump` of the demo folder beside `cat` of its files. Each pair runs alternately
# ROUNDS times (default 5); the medians of the wall times and their ratio are printed, the
# ratio named after both sides ("dump/cat"). The dump is compared a second time on its own
# work: less the time of `tern-cli version`, which only starts and ends, against cat's time
# less that of `cat /dev/null` ("dump-work/cat-work").
#   scripts/compare-with-tools.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rounds=${2:-5}
cli="$build/bin/tern-cli"
[ -x "$cli" ] || { echo "No $cli: build first." >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work"

"$cli" readout --simulate --data-folder "$work/data" >/dev/null
"$cli" export --data-folder "$work/data" "$work/first" >/dev/null || true
files=$(find "$work/first" -type f | wc -l)
bytes=$(du -sb "$work/first" | cut -f1)

# Microseconds of wall time of one command, on bash's own clock: a `date` run on either side
# would add its start to both figures alike and make the ratio look closer to 1 than it is.
ms() {
  local start end
  start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null
  end=${EPOCHREALTIME/[.,]/}
  echo $((end - start))
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
# name, reference name, the two commands separated by --; optionally -- and a command that
# only starts TERN's program, -- and one that only starts the reference's. With those, a
# second line compares the two programs' own work: each time less its own start.
compare() {
  local name=$1 ref=$2 mine=() theirs=() start=() theirStart=() a=() b=() c=() d=()
  shift 2
  while [ "$1" != -- ]; do mine+=("$1"); shift; done
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do theirs+=("$1"); shift; done
  if [ $# -gt 0 ]; then
    shift
    while [ "$1" != -- ]; do start+=("$1"); shift; done
    shift
    theirStart=("$@")
  fi
  for ((i = 0; i < rounds; i++)); do
    a+=("$(ms "${mine[@]}")")
    b+=("$(ms "${theirs[@]}")")
    if [ ${#start[@]} -gt 0 ]; then
      c+=("$(ms "${start[@]}")")
      d+=("$(ms "${theirStart[@]}")")
    fi
  done
  local ma mb mc md
  ma=$(printf '%s\n' "${a[@]}" | median)
  mb=$(printf '%s\n' "${b[@]}" | median)
  awk -v n="$name" -v r="$ref" -v a="$ma" -v b="$mb" \
    'BEGIN {printf "%-12s %8.1f ms  %-12s %8.1f ms  %s/%s %.2f\n", n, a / 1000, r, b / 1000, n, r, a / b}'
  [ ${#start[@]} -gt 0 ] || return 0
  mc=$(printf '%s\n' "${c[@]}" | median)
  md=$(printf '%s\n' "${d[@]}" | median)
  awk -v n="$name-work" -v r="$ref-work" -v a="$ma" -v b="$mb" -v c="$mc" -v d="$md" \
    'BEGIN {printf "%-12s %8.1f ms  %-12s %8.1f ms  %s/%s %.2f  (starts: %.1f ms and %.1f ms)\n",
            n, (a - c) / 1000, r, (b - d) / 1000, n, r, (a - c) / (b - d), c / 1000, d / 1000}'
}

copy() { rm -rf "$work/copy" && cp -r "$work/first" "$work/copy"; }
export_again() { rm -rf "$work/out" && "$cli" export --data-folder "$work/data" "$work/out" || true; }
echo "export: $files files, $bytes bytes; dump: $(du -sb "$work/data" | cut -f1) bytes"
compare export cp-r export_again -- copy
# cat is started directly, with the names bash expands: a shell started in between would
# pad only the reference with its own start and flatter the ratio.
compare dump cat "$cli" dump --data-folder "$work/data" -- cat "$work"/data/* \
  -- "$cli" version -- cat /dev/null
