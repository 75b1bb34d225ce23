#!/usr/bin/env bash
# What starting lumo-cli costs: the CPU time (user + system, from the children's rusage; the
# median and mean over RUNS runs) and the number of shared objects the dynamic loader
# initialises, for `lumo-cli --help` and for `lumo-cli plans` on an empty database.
#
#   bench/cli_startup.sh [BUILD_DIR [RUNS]]     (build and 200 by default)
set -euo pipefail
build=${1:-build}
runs=${2:-200}
cli=$build/lumo-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" init "$work/lumo.sdb" >/dev/null


measure() { # NAME COMMAND...
    local name=$1
    shift
    python3 - "$runs" "$@" <<'PYTHON' | sed "s/^/$name: /"
import resource, statistics, subprocess, sys
runs, command = int(sys.argv[1]), sys.argv[2:]
times = []
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    times.append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
print(f"median {statistics.median(times):.2f} ms CPU, mean {statistics.mean(times):.2f} ms over {runs} runs")
PYTHON
    local libraries
    libraries=$(LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -c 'calling init:' || true)
    echo "$name: $libraries shared objects initialised"
}

measure "lumo-cli --help" "$cli" --help
measure "lumo-cli plans" "$cli" --db "$work/lumo.sdb" plans
