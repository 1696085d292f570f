#!/usr/bin/env bash
# Checks the arm64 build (a Raspberry Pi with a 64-bit system) on this amd64 machine, without
# arm64 hardware: cross-builds every target (preset arm64, the window included) against the
# arm64 root of scripts/arm64-root.sh, runs the test programs that need no Qt under
# qemu-user, then runs tern-cli's read-only commands with the amd64 and the arm64 build on
# the same data folder at the same fixed clock and compares what they write byte for byte.
#
# Under qemu-user a test that needs a pseudo-terminal skips with a line saying why; a test
# program that starts tern-cli runs only where the kernel starts arm64 programs itself
# (binfmt_misc), since an emulated program cannot start another one otherwise; for the same
# reason the two tests that need a fresh process of their own skip, saying so.
#
# Slow (the whole cross build, the tests under emulation); not part of the CI run. Run it
# whenever the package list, the CMake files or the packaging change. Installs what it needs
# (the cross compiler, qemu-user, faketime), as root or through sudo.
#
# Usage: scripts/arm64-check.sh       (ends with one line; exit status 0 only when every
#                                     test program passed and every output was identical)
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
head=$(git rev-parse --short=12 HEAD 2>/dev/null || echo unknown)

elapsed() {
  local s=$((SECONDS - started))
  printf '%dm%02ds' $((s / 60)) $((s % 60))
}
fail() {
  echo "arm64-check: FAILED: $* (after $(elapsed))" >&2
  exit 1
}

scripts/install-deps.sh
scripts/install-deps.sh faketime libfaketime qemu-user
root=$(scripts/arm64-root.sh | tail -n1) || fail "the arm64 root could not be made"
jobs=$(nproc)
work=build/arm64-check
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)

echo "arm64-check: amd64 build (preset release: tern-cli and its modules)"
cmake --preset release >/dev/null || fail "configuring the amd64 build failed"
cmake --build --preset release -j "$jobs" --target tern-cli tern_assets tern_geo_module \
  tern_usb_module tern_web_module >"$work/build-amd64.log" 2>&1 ||
  fail "the amd64 build failed (log: $work/build-amd64.log)"
echo "arm64-check: arm64 cross build (preset arm64, every target)"
cmake --preset arm64 >"$work/build-arm64.log" 2>&1 ||
  fail "configuring the arm64 build failed (log: $work/build-arm64.log)"
cmake --build --preset arm64 -j "$jobs" >>"$work/build-arm64.log" 2>&1 ||
  fail "the arm64 build failed (log: $work/build-arm64.log)"
arm64=build/arm64
for program in tern tern-cli tern-geo.so tern-usb.so tern-web.so; do
  readelf --file-header "$arm64/bin/$program" | grep -q 'Machine:.*AArch64' ||
    fail "$arm64/bin/$program is no arm64 file"
done

emulate() { qemu-aarch64 -L "$root" "$@"; }

# Test programs under qemu-user, two at a time. A program linking Qt (the window's tests) is
# built, not run here.
echo "arm64-check: test programs under qemu-user"
binfmt=false
[ -e /proc/sys/fs/binfmt_misc/qemu-aarch64 ] && binfmt=true
mapfile -t programs < <(find "$arm64/tests" -maxdepth 1 -type f -name '*_tests' -perm -u+x | sort)
run_tests=()
not_run=()
for program in "${programs[@]}"; do
  name=$(basename "$program")
  if readelf --dynamic "$program" | grep -q 'NEEDED.*libQt6'; then
    not_run+=("$name (links Qt)")
  elif ! $binfmt && grep -qa 'tern-cli' "$program"; then
    not_run+=("$name (starts tern-cli; no binfmt_misc entry for arm64 programs here)")
  else
    run_tests+=("$program")
  fi
done
[ ${#run_tests[@]} -gt 0 ] || fail "no test program to run"
run_one() {
  local program=$1 name log
  name=$(basename "$program")
  log="$work/tests-$name.log"
  if (cd "$(dirname "$program")" && qemu-aarch64 -L "$root" "./$name" --gtest_color=no) \
    >"$log" 2>&1; then
    echo "ok $name"
  else
    echo "FAILED $name"
  fi
}
export -f run_one
export root work
printf '%s\n' "${run_tests[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$1"' _ {} \
  >"$work/tests.txt"
passed=0 skipped=0 failed_tests=0
for program in "${run_tests[@]}"; do
  log="$work/tests-$(basename "$program").log"
  n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$log" | tail -n1)
  passed=$((passed + ${n:-0}))
  n=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:$/\1/p' "$log" | tail -n1)
  skipped=$((skipped + ${n:-0}))
  n=$(sed -n 's/^ *\([0-9]*\) FAILED TESTS\?$/\1/p' "$log" | tail -n1)
  failed_tests=$((failed_tests + ${n:-0}))
  # Each skip with its reason: the message gtest prints between "Skipped" and the test's name.
  awk -v program="$(basename "$program")" '
    /: Skipped$/ { reason = ""; want = 1; next }
    want && /^\[  SKIPPED \] [^ ]+ \(/ { print "arm64-check: skipped " program " " $4 ": " reason; want = 0; next }
    want { reason = reason (reason == "" ? "" : " ") $0 }' "$log"
done
for line in "${not_run[@]}"; do echo "arm64-check: not run under qemu-user: $line"; done
if grep -q '^FAILED' "$work/tests.txt"; then
  grep '^FAILED' "$work/tests.txt" | sed 's/^FAILED /arm64-check: test program failed: /'
  fail "$(grep -c '^FAILED' "$work/tests.txt") test programs failed under qemu-user ($failed_tests tests; logs: $work/tests-*.log)"
fi
test_summary="${#run_tests[@]} test programs under qemu-user: $passed tests passed, $skipped skipped"

# One data folder, read by both builds at one fixed clock (libfaketime; the clock stands still
# for the wall clock and runs on for timeouts).
clock="2026-03-05 14:20:00"
echo "arm64-check: tern-cli on both builds at $clock UTC"
data="$work/data"
export TZ=UTC
faked_amd64() {
  LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME="$1" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 build/release/bin/tern-cli "${@:2}"
}
faked_arm64() {
  emulate -E LD_PRELOAD=/usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1 -E FAKETIME="$1" \
    -E FAKETIME_DONT_FAKE_MONOTONIC=1 -E TZ=UTC "$arm64/bin/tern-cli" "${@:2}"
}
# The demo receiver's day up to the clock, read out once by the amd64 build (its clock runs
# from there, as the read-out waits for the receiver).
faked_amd64 "@$clock" readout --simulate --data-folder "$data" >"$work/readout.log" 2>&1 ||
  fail "tern-cli readout --simulate failed (log: $work/readout.log)"
fax="$data/fax_dwd_data.bin"
[ -s "$fax" ] || fail "the read-out left no fax recording in $data"
printf 'projection=mercator\npoint=100,100,60,-40\npoint=1500,2000,20,10\n' >"$work/chart.txt"
commands=(
  "dump|dump --data-folder $data"
  "synop|synop --data-folder $data"
  "synop --map|synop --data-folder $data --map"
  "synop --gpx|synop --data-folder $data --gpx @OUT@/synop.gpx"
  "export|export --data-folder $data @OUT@/export"
  "fax|fax $fax @OUT@/chart.bmp"
  "fax --half --rotate 1|fax $fax @OUT@/chart-half.bmp --half --rotate 1 --turn 150"
  "fax --geo|fax $fax @OUT@/chart --geo $work/chart.txt"
)
names=()
for arch in amd64 arm64; do
  out="$work/$arch"
  mkdir -p "$out"
  for entry in "${commands[@]}"; do
    name=${entry%%|*}
    line=${entry#*|}
    read -ra words <<<"${line//@OUT@/$out}"
    slug=${name//[ -]/_}
    if ! "faked_$arch" "$clock" "${words[@]}" >"$out/$slug.stdout" 2>"$work/$arch-$slug.stderr"; then
      fail "tern-cli $line failed on $arch ($(tail -n1 "$work/$arch-$slug.stderr"))"
    fi
    [ "$arch" = amd64 ] && names+=("$name")
  done
done
# The messages name the files they wrote, which lie in each build's own folder.
for arch in amd64 arm64; do
  sed -i "s|$work/$arch|@OUT@|g" "$work/$arch"/*.stdout
done
for file in chart.bmp chart-half.bmp chart.tif chart.mbtiles synop.gpx; do
  [ -s "$work/amd64/$file" ] || fail "tern-cli wrote no $file"
done
if ! diff -r "$work/amd64" "$work/arm64" >"$work/diff.txt"; then
  fail "amd64 and arm64 differ: $(head -n3 "$work/diff.txt" | tr '\n' ' ')"
fi
files=$(find "$work/amd64" -type f | wc -l)
bytes=$(du -sb --apparent-size "$work/amd64" | cut -f1)
joined=$(printf '%s, ' "${names[@]}")
echo "arm64-check: PASSED at $head: $test_summary; tern-cli ${joined%, } byte-identical on amd64" \
  "and arm64 ($files files, $bytes bytes) in $(elapsed)"
