#!/usr/bin/env bash
# Times a whole scripted run of the sender against nc -u and socat sending
# the same 14 bytes from 127.0.0.1:4148 to 127.0.0.1:6000 (perf.instructions
# counts its instructions).
# Needs: hyperfine socat netcat-openbsd (Debian), and a built sender:
#   cmake --workflow --preset release
# Usage: bench/run.sh [path/to/sender]
set -euo pipefail
cd "$(dirname "$0")/.."
sender=${1:-build/release/sender}
work=$(mktemp -d)
trap 'kill "${receiver:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

printf '127.0.0.1\n127.0.0.1\n0\n' > "$work/answers"
printf 'Hello world!\r\n' > "$work/payload"

# A receiver drains port 6000 throughout, so every sender meets the same peer.
socat -u UDP4-RECV:6000,bind=127.0.0.1 /dev/null &
receiver=$!
sleep 0.2

# Each command in the same explicit shell, hyperfine's shell and subtraction
# off (-N): subtracting could leave nothing of so short a run, giving a zero
# median and an infinite or undefined ratio.
hyperfine -N --warmup 20 --runs 300 --export-csv "$work/times.csv" --style basic \
    -n sender "sh -c '$sender < $work/answers > /dev/null'" \
    -n "nc -u" "sh -c 'nc -u -w0 -s 127.0.0.1 -p 4148 127.0.0.1 6000 < $work/payload'" \
    -n socat "sh -c 'socat -u OPEN:$work/payload UDP4-SENDTO:127.0.0.1:6000,bind=127.0.0.1:4148'"

echo
echo "median wall time per run, and against the sender:"
awk -F, 'NR > 1 { name[NR] = $1; median[NR] = $4 }
    END {
        for (i = 2; i <= NR; i++)
            printf "  %-8s %8.3f ms  %6.2fx\n", name[i], median[i] * 1000, median[i] / median[2]
    }' "$work/times.csv"

