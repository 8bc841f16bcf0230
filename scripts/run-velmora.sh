#!/usr/bin/env bash
# Installs the packages, builds velmora and starts it: on the current X display,
# or under a private Xvfb when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target velmora
if [ -z "${DISPLAY:-}" ]; then
  export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
  chmod 700 "$XDG_RUNTIME_DIR"
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  read -r number <&3
  export DISPLAY=":$number"
  echo "No X display is set: velmora runs under a private Xvfb on $DISPLAY (1024x768x24)."
fi
# Help pages live under $ZEDARO/help; the icons and pictures the program
# loads by name come from the folder it starts in.
export ZEDARO="${ZEDARO:-$PWD}"
bin="$PWD/build/app/velmora"
# Without /dev/dsp the sound engine reaches the sound server through
# PulseAudio's OSS emulation, preloaded for velmora alone (the loader expands
# $LIB; Debian's padsp names a wrong path).
run=("$bin")
if [ ! -e /dev/dsp ] && compgen -G '/usr/lib/*/pulseaudio/libpulsedsp.so' >/dev/null; then
  run=(env 'LD_PRELOAD=/usr/$LIB/pulseaudio/libpulsedsp.so' "$bin")
  echo "No /dev/dsp: velmora runs with LD_PRELOAD='/usr/\$LIB/pulseaudio/libpulsedsp.so' (PulseAudio's OSS emulation)."
fi
cd images
exec "${run[@]}" "$@"
