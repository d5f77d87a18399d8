#!/usr/bin/env bash
# Start-up of the window program: milliseconds from launch until its window is
# mapped, and the resident memory of the program and its child processes two
# seconds later (no browser is made on the first tab without a maker's site).
#
#   bench/startup.sh build/src/app/marbleway [RUNS] [DISPLAY]
#
# Needs Xvfb and xdotool (apt). Each run gets a fresh data folder.
set -euo pipefail
program=$1
runs=${2:-5}
display=${3:-:97}
export DISPLAY=$display XDG_RUNTIME_DIR
XDG_RUNTIME_DIR=$(mktemp -d)
Xvfb "$display" -screen 0 1366x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
sleep 1
for run in $(seq "$runs"); do
    home=$(mktemp -d)
    start=$(date +%s%N)
    MARBLEWAY_HOME=$home XDG_CONFIG_HOME=$home/config MARBLEWAY_HOSTS= "$program" >"$home.log" 2>&1 &
    pid=$!
    for _ in $(seq 2000); do
        xdotool search --onlyvisible --pid "$pid" --name 'Marbleway' >/dev/null 2>&1 && break
        sleep 0.005
    done
    shown=$(( ($(date +%s%N) - start) / 1000000 ))
    sleep 2
    rss=$(ps -o rss= --pid "$pid" --ppid "$pid" | awk '{s += $1} END {print int(s / 1024)}')
    echo "run $run: window shown after $shown ms, $rss MB resident"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -rf "$home" "$home.log"
done
