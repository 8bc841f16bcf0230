#!/usr/bin/env bash
# Installs the packages, builds everything and runs every test.
# VELMORA_SANITIZE=1 builds and tests with AddressSanitizer and UBSan in build-asan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
bash scripts/check-format.sh
bash scripts/check-layers.sh
dir=build
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${VELMORA_SANITIZE:-0}" = 1 ]; then
  dir=build-asan
  opts+=(-DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF)
  # The sound tests preload PulseAudio's OSS emulation ahead of the ASan runtime.
  export ASAN_OPTIONS=detect_leaks=0:allow_user_segv_handler=1:handle_segv=0:verify_asan_link_order=0
fi
cmake -S . -B "$dir" "${opts[@]}"
cmake --build "$dir" -j"$(nproc)"
# Every X and sound server a test starts is named by a PID file in this folder while it
# runs; none may survive the run.
VELMORA_TEST_PID_DIR=$(mktemp -d)
export VELMORA_TEST_PID_DIR
status=0
ctest --test-dir "$dir" -j"$(nproc)" --output-on-failure || status=$?
# Every program of the tree runs once, so none rots unseen: each benchmark
# of the normal build for a moment (no timing is judged here), and the
# import fuzz target over its corpus for a few seconds.
logs=$(mktemp -d)
if [ "${VELMORA_SANITIZE:-0}" != 1 ]; then
  for bench in "$dir"/bench/*_bench; do
    name=$(basename "$bench")
    if "$bench" --benchmark_min_time=0.01 >"$logs/$name.log" 2>&1; then
      echo "benchmark $name: ran"
    else
      echo "benchmark $name: FAILED (status $?)"
      tail -n 30 "$logs/$name.log"
      status=1
    fi
  done
fi
if bash scripts/fuzz-import.sh 5 >"$logs/fuzz.log" 2>&1; then
  echo "import fuzz target: ran"
else
  echo "import fuzz target: FAILED"
  grep -v '^Block Rect' "$logs/fuzz.log" | tail -n 40
  status=1
fi
bash scripts/check-test-servers.sh "$VELMORA_TEST_PID_DIR" || status=1
exit $status
