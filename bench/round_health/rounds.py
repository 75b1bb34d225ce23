#!/usr/bin/env python3
"""Times one `lumo-cli run` round over many plans on a loopback board server, for two builds of
lumo-cli side by side. See bench/round_health.sh for what it measures and the figures.

    rounds.py BEFORE_CLI AFTER_CLI RUNS PLANS

Every timed round starts from a fresh copy of its side's database, made after one untimed round
of that side stored the board's articles. The sides take turns in a rotating order:

    before      BEFORE_CLI on a file it warmed itself; a steady round: every plan is checked,
                nothing is new
    after       AFTER_CLI on a file it warmed itself (its own tables, planhealth among them,
                exist); steady
    first       AFTER_CLI on the file BEFORE_CLI warmed (the round that adds AFTER_CLI's
                tables); steady
    before new  as before, the board having gained FRESH articles that every plan stores
    after new   as after, with the FRESH new articles
"""
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "urlwatch"))
import serve_page  # noqa: E402  (the benchmarks' page server)

THREADS = 30  # articles on the board page
FRESH = 5  # articles the board gains for the rounds that find new ones
LIST_START = '<table summary="bench_board" id="threadlist">'
LIST_END = "</table>"
PATTERN = (r'<a href="(thread-(\d+)\.html)" class="title">(.*?)</a>.*?'
           r'<cite><a href="user-\d+\.html">(.*?)</a>')
# Heartbeat, gap, per second of frequency, insert pause (ms): no waits of the program's own, so
# a round's time is its work. The heartbeat stays above zero: each one logs a line.
TIMINGS = "5,0,0,0"


def board_page(newest=900):
    """A board of THREADS articles from `newest` down, in UTF-8, about 8 KB."""
    rows = []
    for i in range(THREADS):
        thread, user = newest - i, 1000 + (newest - i) % 37
        rows.append(f'<tr id="t{thread}">\r\n<th><a href="thread-{thread}.html" class="title">'
                    f'第{thread}号帖：本周的讨论</a></th>\r\n<td class="by"><cite>'
                    f'<a href="user-{user}.html">用户{user}</a></cite></td>\r\n</tr>\r\n')
    return ('<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset="utf-8">\r\n'
            '<title>基准测试论坛</title>\r\n</head>\r\n<body>\r\n' + LIST_START + '\r\n' +
            ''.join(rows) + LIST_END + '\r\n</body>\r\n</html>\r\n').encode("utf-8")


def start_server(page):
    """Serves page["body"] at every path on 127.0.0.1 (HTTP/1.1, keep-alive); returns the port.
    The caller may swap the body between rounds."""
    return serve_page.start_server(lambda: page["body"]).server_address[1]


def quoted(text):
    return "'" + text.replace("'", "''") + "'"


def plan_statements(port, plans):
    """The SQL that adds `plans` ticked plans, each reading its own address on the board."""
    statements = []
    for number in range(1, plans + 1):
        fields = {
            "arturl": "", "code": "0", "name": f"基准版块{number}",
            "url": f"http://127.0.0.1:{port}/board/{number}", "cookie": "",
            "ua": "LumoBench/1.0", "arttile": "", "lasttime": "", "spare": "",
            "buquan": "http://bench.example.test/[1]", "regular": PATTERN, "before": LIST_START,
            "after": LIST_END, "tindex": "3", "uindex": "2", "oindex": "4", "isdo": "1",
            "lastid": "", "type": "0"}
        statements.append(f"insert into rule({','.join(fields)}) "
                          f"values({','.join(quoted(v) for v in fields.values())});")
    return "\n".join(statements)


def cli(binary, database, *arguments, log=subprocess.DEVNULL):
    env = dict(os.environ, LUMO_CLI_TEST_TIMINGS=TIMINGS)
    done = subprocess.run([binary, "--db", database, *arguments], stdout=log,
                          stderr=subprocess.PIPE, env=env)
    if done.returncode != 0:
        sys.exit(f"{binary} {' '.join(arguments)}: exit {done.returncode}\n"
                 f"{done.stderr.decode(errors='replace')}")


def fresh_copy(template, work):
    for leftover in (work, work + "-journal", work + "-wal", work + "-shm"):
        if os.path.exists(leftover):
            os.remove(leftover)
    shutil.copyfile(template, work)


def timed_round(binary, database, log_path, plans, fresh):
    """Wall and CPU milliseconds of one round; checks that it ran every plan and that each plan
    found `fresh` new articles."""
    with open(log_path, "wb") as log:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        cli(binary, database, "run", log=log)
        wall = (time.perf_counter() - start) * 1000
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000
    with open(log_path, encoding="utf-8", errors="replace") as log:
        text = log.read()
    ended = len(re.findall(r"^任务\d+已结束----", text, re.M))
    stored = len(re.findall(r"^\d+\t", text, re.M))  # one line per new article
    if ended != plans or stored != plans * fresh:
        sys.exit(f"{binary}: {ended} of {plans} plans ended, {stored} articles stored "
                 f"instead of {plans * fresh}")
    return wall, cpu


def disk_calls(binary, template, work):
    """The calls a commit makes (sync, write, journal removal) in one steady round (strace -c)."""
    if shutil.which("strace") is None:
        return "strace missing"
    fresh_copy(template, work)
    counts = os.path.join(os.path.dirname(work), "strace.txt")
    env = dict(os.environ, LUMO_CLI_TEST_TIMINGS=TIMINGS)
    subprocess.run(["strace", "-f", "-c", "-o", counts, binary, "--db", work, "run"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env, check=True)
    calls = {}
    with open(counts) as table:
        for line in table:
            fields = line.split()
            if len(fields) >= 5 and fields[-1] in ("fsync", "fdatasync", "pwrite64", "unlink"):
                calls[fields[-1]] = int(fields[3])
    return ", ".join(f"{calls.get(name, 0)} {name}"
                     for name in ("fdatasync", "fsync", "pwrite64", "unlink"))


def quartiles(values):
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], statistics.median(values), q[2]


def summary(name, values, unit="ms"):
    low, median, high = quartiles(values)
    return (f"{name:<16} median {median:7.1f} {unit}  quartiles {low:7.1f} .. {high:7.1f}  "
            f"range {min(values):7.1f} .. {max(values):7.1f}")


def compare(name, runs, a, b, index):
    """The paired differences b - a of one measure; within noise when their quartiles hold 0."""
    differences = [y[index] - x[index] for x, y in zip(runs[a], runs[b])]
    low, median, high = quartiles(differences)
    base = statistics.median(r[index] for r in runs[a])
    verdict = "within noise" if low <= 0 <= high else "beyond noise"
    print(f"{name:<16} median {median:+7.1f} ms ({median / base * 100:+5.1f} %)  "
          f"quartiles {low:+7.1f} .. {high:+7.1f}  -> {verdict}")


def report(runs, plans, results):
    print(f"{runs} rounds of {plans} plans each, interleaved; wall-clock time:")
    for side in results:
        print(summary(side, [r[0] for r in results[side]]))
    print("CPU time (user + system):")
    for side in results:
        print(summary(side, [r[1] for r in results[side]]))
    for a, b, what in (("before", "after", "steady rounds"),
                       ("after", "first", "the round that creates the table"),
                       ("before new", "after new", "rounds that store new articles")):
        print(f"{b} - {a} ({what}), paired by run:")
        compare("wall", results, a, b, 0)
        compare("CPU", results, a, b, 1)


def main():
    before_cli, after_cli, runs, plans = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(
        sys.argv[4])
    folder = tempfile.mkdtemp(prefix="lumo-round-health-")
    try:
        page = {"body": board_page()}
        newer = board_page(900 + FRESH)
        port = start_server(page)
        base = os.path.join(folder, "base.sdb")
        cli(after_cli, base, "init", base)
        cli(after_cli, base, "sql", plan_statements(port, plans))
        templates = {}
        for side, binary in (("before", before_cli), ("after", after_cli)):
            templates[side] = os.path.join(folder, side + ".sdb")
            shutil.copyfile(base, templates[side])
            cli(binary, templates[side], "run")  # stores the articles: later rounds are steady
        # Side: lumo-cli, the file it starts from, the page served, new articles per plan.
        sides = {"before": (before_cli, templates["before"], page["body"], 0),
                 "after": (after_cli, templates["after"], page["body"], 0),
                 "first": (after_cli, templates["before"], page["body"], 0),
                 "before new": (before_cli, templates["before"], newer, FRESH),
                 "after new": (after_cli, templates["after"], newer, FRESH)}
        order = list(sides)
        results = {side: [] for side in sides}
        work, log = os.path.join(folder, "work.sdb"), os.path.join(folder, "round.log")
        for run in range(runs):
            for side in order[run % len(order):] + order[:run % len(order)]:
                binary, template, page["body"], fresh = sides[side]
                fresh_copy(template, work)
                results[side].append(timed_round(binary, work, log, plans, fresh))
        report(runs, plans, results)
        print("system calls of one steady round:")
        page["body"] = sides["before"][2]
        for side in ("before", "after"):
            print(f"{side:<16} {disk_calls(*sides[side][:2], work)}")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
