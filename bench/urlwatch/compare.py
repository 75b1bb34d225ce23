#!/usr/bin/env python3
"""Runs the same steady-state checks of one board page through Lumo's core and through urlwatch
and prints the CPU time (user + system) each spends per check, and their ratio.

    compare.py STEADY_CHECK_BENCH CHECKS [ROUNDS]

The two sides take turns for ROUNDS rounds (3 unless given), so a busy spell of the machine
weighs on both; each round prints both figures and their ratio, and the last line gives the
median of each figure and of the rounds' ratios.

Both sides fetch the page from one local server (serve_page.py, whose own CPU counts for
neither). Lumo's figure is measured inside steady_check_bench around its checks. urlwatch runs
CHECKS jobs on the page in one process, after a first run that filled its cache, so every job
finds its output unchanged; its figure is the CPU of that process less the CPU of a one-job
run (start-up, configuration, cache), divided by CHECKS - 1. The per-check figure of the
whole process, start-up included, is printed too.

urlwatch's files (jobs, configuration, hooks, cache) live in a temporary folder, and HOME and
the XDG folders point there while it runs.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

LIST_START = '<table summary="forum_12" id="threadlisttableid">'
LIST_END = '</table>'
# The plan's article pattern; the page's CR LF pairs are gone from Lumo's text before matching,
# so "." may cross them here.
PATTERN = (r'(?s)<a href="(thread-(\d+)-1-1\.html)" onclick="atarget\(this\)" class="s '
           r'xst">(.*?)</a>.*?<cite><a href="space-uid-\d+\.html" c="1">(.*?)</a>')


def quoted(text):
    return "'" + text.replace("'", "''") + "'"


def write_jobs(path, url, count):
    import re
    cut = '(?s)^.*?' + re.escape(LIST_START) + '(.*?)' + re.escape(LIST_END) + '.*$'
    with open(path, "w", encoding="utf-8") as f:
        for i in range(count):
            if i:
                f.write("---\n")
            f.write("name: check %d\n" % i)
            f.write("url: %s\n" % quoted("%s?check=%d" % (url, i)))
            f.write("ignore_cached: true\n")
            f.write("filter:\n")
            f.write("  - re.sub:\n      pattern: %s\n      repl: %s\n" % (quoted(cut), quoted(r'\1')))
            f.write("  - re.sub:\n      pattern: %s\n      repl: %s\n"
                    % (quoted(PATTERN), quoted(r'\nARTICLE \2 \3 \4 \1\n')))
            f.write("  - grep: %s\n" % quoted('^ARTICLE '))


def children_cpu_ms():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (usage.ru_utime + usage.ru_stime) * 1000.0


def run_urlwatch(folder, name, url, count):
    jobs = os.path.join(folder, name + ".yaml")
    write_jobs(jobs, url, count)
    config = os.path.join(folder, "urlwatch.yaml")
    with open(config, "w", encoding="utf-8") as f:
        f.write("display:\n  new: true\n  error: true\n  unchanged: false\n"
                "report:\n  stdout:\n    enabled: true\n    color: false\n")
    hooks = os.path.join(folder, "hooks.py")
    open(hooks, "w").close()
    command = ["urlwatch", "--urls", jobs, "--config", config, "--hooks", hooks,
               "--cache", os.path.join(folder, name + ".db")]
    env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=folder, XDG_CACHE_HOME=folder)
    first = subprocess.run(command, env=env, capture_output=True, text=True)
    if first.returncode != 0 or "NEW:" not in first.stdout:
        sys.exit("urlwatch's first run failed:\n" + first.stdout[-2000:] + first.stderr[-2000:])
    before = children_cpu_ms()
    steady = subprocess.run(command, env=env, capture_output=True, text=True)
    cpu = children_cpu_ms() - before
    if steady.returncode != 0 or steady.stdout.strip():
        sys.exit("urlwatch's steady run reported something:\n" + steady.stdout[-2000:] +
                 steady.stderr[-2000:])
    return cpu


def lumo_cpu_ms(bench, url, checks):
    output = subprocess.run([bench, "check", url, str(checks)], check=True,
                            capture_output=True, text=True).stdout
    values = dict(line.split() for line in output.splitlines())
    return float(values["lumo_cpu_ms_per_check"])


def urlwatch_cpu_ms(folder, url, checks, round_number):
    """urlwatch's CPU per check, without its start-up; and with it. Each round starts with an
    empty cache, which its first run fills."""
    one = run_urlwatch(folder, "one-%d" % round_number, url, 1)
    many = run_urlwatch(folder, "many-%d" % round_number, url, checks)
    return (many - one) / (checks - 1), many / checks


def main():
    bench, checks = sys.argv[1], int(sys.argv[2])
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    folder = tempfile.mkdtemp(prefix="lumo-urlwatch-")
    server = None
    try:
        page = os.path.join(folder, "board.html")
        subprocess.run([bench, "page", page], check=True, stdout=subprocess.DEVNULL)
        here = os.path.dirname(os.path.abspath(__file__))
        server = subprocess.Popen([sys.executable, os.path.join(here, "serve_page.py"), page],
                                  stdout=subprocess.PIPE, text=True)
        url = "http://127.0.0.1:%s/forum-12-1.html" % server.stdout.readline().strip()
        print("page: %d bytes of UTF-8, 50 threads, %s; %d steady checks a side, %d rounds"
              % (os.path.getsize(page), url, checks, rounds), flush=True)

        if shutil.which("urlwatch") is None:
            print("Lumo's core:  %8.3f ms CPU per check" % lumo_cpu_ms(bench, url, checks))
            print("urlwatch is not installed: no comparison (Lumo's figure only)")
            return
        lumo, watch, ratios = [], [], []
        for round_number in range(1, rounds + 1):
            lumo.append(lumo_cpu_ms(bench, url, checks))
            per_check, with_start = urlwatch_cpu_ms(folder, url, checks, round_number)
            watch.append(per_check)
            ratios.append(per_check / lumo[-1])
            print("round %d: Lumo's core %.3f ms, urlwatch %.3f ms (%.3f with its start-up) "
                  "CPU per check; ratio %.1f x" % (round_number, lumo[-1], per_check, with_start,
                                                    ratios[-1]), flush=True)
        print("median: Lumo's core %.3f ms, urlwatch %.3f ms CPU per check; ratio %.1f x"
              % (statistics.median(lumo), statistics.median(watch), statistics.median(ratios)))
    finally:
        if server:
            server.kill()
            server.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
