#!/usr/bin/env bash
# Fails when an X or sound server the tests started still runs. The test
# support writes one file "xvfb.<pid>" or "pulse.<pid>" per server into the
# folder given as the argument (the folder VELMORA_TEST_PID_DIR named) and
# removes it when it stops the server; a server of a killed test process gets
# SIGTERM from the kernel and is given a few seconds to end. Survivors are
# reported and killed. The folder is removed.
set -uo pipefail
dir=${1:?usage: check-test-servers.sh PID-FOLDER}

# True while process $1 runs (a zombie has ended) and is still the program $2.
running_server() {
  local state
  state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  [[ $state != Z* ]] && [ "$(cat "/proc/$1/comm" 2>/dev/null)" = "$2" ]
}

status=0
for file in "$dir"/xvfb.* "$dir"/pulse.*; do
  [ -e "$file" ] || continue
  pid=$(cat "$file")
  case $file in */xvfb.*) program=Xvfb ;; *) program=pulseaudio ;; esac
  for _ in $(seq 50); do
    running_server "$pid" "$program" || break
    sleep 0.1
  done
  if running_server "$pid" "$program"; then
    echo "check-test-servers: test server $pid still runs: $(tr '\0' ' ' <"/proc/$pid/cmdline")" >&2
    kill -KILL "$pid" 2>/dev/null
    status=1
  fi
done
rm -rf "$dir"
exit $status
