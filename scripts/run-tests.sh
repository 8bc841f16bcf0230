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
bash scripts/check-test-servers.sh "$VELMORA_TEST_PID_DIR" || status=1
exit $status
