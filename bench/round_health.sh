#!/bin/sh
# What recording plan health costs a monitoring round: one `lumo-cli run` round over PLANS ticked
# plans, each reading its own address of an 8 KB board page served on loopback, timed for two
# builds of lumo-cli. Each timed round starts from a copy of a file on which one untimed round
# already stored the board's 30 articles. The program's own waits are set to zero
# (LUMO_CLI_TEST_TIMINGS), so a round's time is its work. Five sides take turns, RUNS rounds each:
#   before      the older build, on a file it warmed itself, a steady round (nothing is new)
#   after       the newer build, on a file it warmed itself (the planhealth table exists), steady
#   first       the newer build, steady, on the file the older one warmed: its round creates the
#               table
#   before new  as before, but the board has gained 5 articles: each plan stores them
#   after new   as after, with the 5 new articles
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
#   before           median   170.4 ms  quartiles   141.7 ..   232.4  range    66.1 ..   342.9
#   after            median  2464.1 ms  quartiles  2131.0 ..  2553.3  range  1628.2 ..  2884.3
#   first            median  2474.6 ms  quartiles  2229.5 ..  2656.1  range  1779.9 ..  2883.0
#   before new       median  2512.4 ms  quartiles  2237.1 ..  2593.7  range  1722.1 ..  2723.2
#   after new        median  2404.1 ms  quartiles  2335.5 ..  2497.6  range  1521.7 ..  2840.7
#   CPU time (user + system):
#   before           median    53.8 ms  quartiles    47.9 ..    63.5  range    38.4 ..    77.9
#   after            median   227.3 ms  quartiles   195.5 ..   252.0  range   160.1 ..   271.7
#   first            median   229.9 ms  quartiles   214.1 ..   242.9  range   176.0 ..   261.5
#   before new       median   238.9 ms  quartiles   220.4 ..   251.2  range   167.9 ..   268.2
#   after new        median   247.9 ms  quartiles   233.6 ..   276.9  range   210.9 ..   295.3
#   after - before (steady rounds), paired by run:
#   wall             median +2297.4 ms (+1348.5 %)  quartiles +1995.5 .. +2404.7  -> beyond noise
#   CPU              median  +175.2 ms (+325.6 %)  quartiles  +146.1 ..  +189.4  -> beyond noise
#   first - after (the round that creates the table), paired by run:
#   wall             median   -46.3 ms ( -1.9 %)  quartiles  -139.8 ..  +122.4  -> within noise
#   CPU              median    +5.3 ms ( +2.3 %)  quartiles    -6.3 ..   +13.0  -> within noise
#   after new - before new (rounds that store new articles), paired by run:
#   wall             median   -42.1 ms ( -1.7 %)  quartiles  -194.1 ..  +199.1  -> within noise
#   CPU              median    +9.0 ms ( +3.8 %)  quartiles    +2.7 ..   +31.8  -> beyond noise
#   system calls of one steady round:
#   before           0 fdatasync, 0 fsync, 0 pwrite64, 0 unlink
#   after            400 fdatasync, 0 fsync, 1008 pwrite64, 100 unlink
#
# So recording health is beyond noise in a steady round: the older build writes nothing when
# nothing is new, the newer one commits each plan's health record in a transaction of its own
# (a rollback journal created and removed, four syncs), some 22 ms of wall-clock and 1.7 ms of
# CPU time a plan here. Where a plan stores new articles the record joins the run's own
# transaction and the round stays within noise on wall-clock time (about 0.1 ms of CPU a plan:
# the two reads of the record before the check and its statement). Creating the table in the
# first round costs nothing measurable. With the program's own waits (5 s after each plan) a
# round of 100 plans lasts over 500 s with or without health.
# That is mended: a steady check's record now waits (PendingHealth) and the round's last check
# writes them all in one transaction. Figures of 2026-12-10 after the change, same machine (another
# build running beside it), 11 runs of 100 plans, ae34567 against d46d2c7:
#   before           median   250.6 ms  quartiles   170.7 ..   321.2   CPU  66.1 ms
#   after            median   212.9 ms  quartiles   188.1 ..   381.6   CPU  88.3 ms
#   after - before (steady rounds), paired by run:
#   wall             median   +43.6 ms (+17.4 %)  quartiles  -101.2 ..  +148.3  -> within noise
#   CPU              median   +13.6 ms (+20.6 %)  quartiles    +6.5 ..   +38.6  -> beyond noise
#   after new - before new: wall +74.2 ms (+4.2 %), within noise; CPU +17.6 ms (+7.3 %)
#   system calls of one steady round: after  4 fdatasync, 14 pwrite64, 1 unlink (was 400, 1008,
#   100)
# What remains is CPU time, about 0.14 ms a plan: each check reads its plan's record (to know
# whether it was failing) and the round writes one upsert a plan.
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
