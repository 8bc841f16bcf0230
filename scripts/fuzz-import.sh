#!/usr/bin/env bash
# Builds the import fuzz target with clang's libFuzzer and runs it for a while
# (seconds as the first argument, 60 by default) on the kept corpus. Every
# sanitizer report ends the run at once, undefined behaviour included. New
# inputs the run finds go to build-fuzz/found, not into the kept corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
mkdir -p "$out/found"
# The whole store library: the importer's own list of files would rot.
srcs=(store/*.cpp)
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I. "${srcs[@]}" tests/fuzz/ImportEntry.cpp tests/fuzz/ImportFuzz.cpp -lz -pthread \
  -o "$out/import_fuzz"
"$out/import_fuzz" -max_total_time="${1:-60}" -max_len=65536 "$out/found" tests/fuzz/corpus
