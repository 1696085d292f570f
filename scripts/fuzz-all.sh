#!/usr/bin/env bash
# Runs every libFuzzer target for a while and reports what each one did.
#
#   scripts/fuzz-all.sh [SECONDS]        (default 300 seconds per target)
#
# Configures and builds the `fuzz` preset (clang, build/fuzz), then runs the targets two at a
# time, each for SECONDS, starting from its seed corpus in the repository. New inputs and
# crash files go to a folder outside the repository, kept from run to run so each run starts
# where the last one stopped:
#
#   ${TERN_FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tern-fuzz}/<target>/corpus   new inputs
#                                                                  /crashes  crash, leak, timeout
#                                                                  /log      libFuzzer's output
#
# A target stops at its first crash. The table at the end shows per target the runs, runs
# per second, coverage at the start and the end (libFuzzer's `cov:`) and the crash files this
# run left; the exit status is 1 when any target crashed. A crash input worth keeping belongs
# in the target's seed corpus under fuzz/, with the fix, so every test run replays it.
# Set TERN_FUZZ_JOBS to run more or fewer targets at once.
set -euo pipefail

seconds=${1:-300}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi
parallel=${TERN_FUZZ_JOBS:-2}
repo=$(cd "$(dirname "$0")/.." && pwd)
out=${TERN_FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/tern-fuzz}

cd "$repo"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
list=build/fuzz/fuzz/targets.txt
bin=build/fuzz/fuzz

# One target: libFuzzer writes new inputs into the first corpus folder and only reads the
# seeds. Hangs over 10 seconds count as crashes. Every target has full-size seeds, which
# -len_control=0 lets the inputs reach at once instead of growing slowly from small ones.
run_target() {
  local name=$1 seeds=$2 dir=$out/$1
  mkdir -p "$dir/corpus" "$dir/crashes"
  touch "$dir/started"
  local status=0
  "$bin/$name" -max_total_time="$seconds" -len_control=0 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/crashes/" "$dir/corpus" "$seeds" >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

names=()
running=0
while read -r name seeds; do
  [[ -n $name ]] || continue
  names+=("$name")
  if ((running >= parallel)); then
    wait -n || true
    running=$((running - 1))
  fi
  echo "fuzzing $name for ${seconds}s" >&2
  run_target "$name" "$seeds" &
  running=$((running + 1))
done <"$list"
wait

crashed=0
printf '%-26s %10s %8s %8s %8s %8s\n' target runs runs/s cov-from cov-to crashes
for name in "${names[@]}"; do
  dir=$out/$name
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -1)
  from=$(grep -m1 -o 'INITED cov: [0-9]*' "$dir/log" | grep -o '[0-9]*$' || true)
  to=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || true)
  crashes=$(find "$dir/crashes" -type f -newer "$dir/started" | wc -l)
  if [[ $(cat "$dir/status") != 0 ]] && ((crashes == 0)); then crashes=1; fi
  ((crashes == 0)) || crashed=1
  printf '%-26s %10s %8s %8s %8s %8s\n' "$name" "${runs:--}" "${rate:--}" "${from:--}" \
    "${to:--}" "$crashes"
done
if ((crashed)); then
  echo "Crashes: see $out/<target>/crashes and log." >&2
  exit 1
fi
