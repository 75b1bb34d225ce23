#!/bin/sh
# What recording plan health costs a monitoring round: one `lumo-cli run` round over PLANS ticked
# plans, each reading its own address of an 8 KB board page served on loopback, timed for two
# builds of lumo-cli. Each timed round starts from a copy of a file on which one untimed round
# already stored the board's articles, so it is a steady round: every check succeeds, nothing is
# new. The program's own waits are set to zero (LUMO_CLI_TEST_TIMINGS), so a round's time is its
# work. Three sides take turns, RUNS rounds each:
#   before  the older build, on a file it warmed itself
#   after   the newer build, on a file it warmed itself (the planhealth table exists)
#   first   the newer build, on the file the older one warmed (its round creates the table)
# It prints the median, quartiles and range of each side's wall-clock and CPU time, the paired
# differences (within noise when their quartiles hold zero), and, with strace, the sync, write
# and journal-removal calls of one steady round of each build.
#
#   bench/round_health.sh BEFORE_BUILD AFTER_BUILD [RUNS [PLANS]]     (defaults: 15 100)
#
# BEFORE_BUILD and AFTER_BUILD are build folders holding lumo-cli and lumo_page_fetch.so; the
# script builds those two targets in each. For plan health, "before" is the commit before it was
# merged (ae34567), built in a worktree of its own:
#   git worktree add --detach /tmp/bench-before ae34567
#   cmake -S /tmp/bench-before -B /tmp/bench-before/build -G Ninja -DLUMO_BUILD_TESTS=OFF \
#         -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
#   bench/round_health.sh /tmp/bench-before/build build
#
# Figures of 2026-12-10, 2 cores shared with five builds, ext4, RelWithDebInfo, 15 runs of 100
# plans, ae34567 against 2648bd5:
#   15 rounds of 100 plans each, interleaved; wall-clock time:
#   before           median   162.3 ms  quartiles   134.8 ..   184.1  range    90.2 ..   341.9
#   after            median  2439.6 ms  quartiles  2308.9 ..  2545.9  range  1747.4 ..  2636.2
#   first            median  2515.9 ms  quartiles  2239.7 ..  2571.9  range  1806.3 ..  2808.0
#   CPU time (user + system):
#   before           median    50.9 ms  quartiles    46.5 ..    59.0  range    41.4 ..    86.3
#   after            median   223.8 ms  quartiles   207.2 ..   233.4  range   189.9 ..   266.6
#   first            median   223.9 ms  quartiles   209.1 ..   228.1  range   193.4 ..   240.2
#   after - before, paired by run:
#   wall             median +2252.8 ms (+1388.0 %)  quartiles +2173.5 .. +2332.6  -> beyond noise
#   CPU              median  +171.8 ms (+337.2 %)  quartiles  +155.3 ..  +179.8  -> beyond noise
#   first - after (the round that creates the table), paired by run:
#   wall             median   -38.2 ms ( -1.6 %)  quartiles  -278.6 ..  +236.0  -> within noise
#   CPU              median    -2.4 ms ( -1.1 %)  quartiles   -15.3 ..    +2.2  -> within noise
#   system calls of one steady round:
#   before           0 fdatasync, 0 fsync, 0 pwrite64, 0 unlink
#   after            400 fdatasync, 0 fsync, 1008 pwrite64, 100 unlink
#
# So recording health is beyond noise in a steady round: the older build writes nothing when
# nothing is new, the newer one commits the health record of each plan in a transaction of its
# own (a rollback journal created and removed, four syncs). That is some 22 ms of wall-clock and
# 1.7 ms of CPU time per plan here. The two reads of the record before each check cost about
# 0.1 ms of CPU a plan (a trial build without the write came within noise of the older one on
# wall-clock time, 11 ms of CPU a round above it). Creating the table in the first round costs
# nothing measurable. With the program's own waits (5 s after each plan) a round of 100 plans
# lasts over 500 s with or without health.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 2 ]; then
    sed -n '2,/^set -eu/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
fi
before=$1
after=$2
runs=${3:-15}
plans=${4:-100}
for build in "$before" "$after"; do
    cmake --build "$build" --target lumo-cli lumo_page_fetch >/dev/null
done
exec python3 "$here/round_health/rounds.py" "$before/lumo-cli" "$after/lumo-cli" "$runs" "$plans"
