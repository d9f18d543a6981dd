#!/usr/bin/env python3
"""How long `vorante-cli get ID` takes against the simulator, and how much of it is the
time between the answer being printed and the process having ended.

usage: time_get.py BUILD_DIR [RUNS] [ID]

Both programs run on loopback. Standard output of the client is line-buffered (stdbuf),
so the answer line arrives when it is printed, not at exit.
"""
import os
import statistics
import subprocess
import sys
import time


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    param = sys.argv[3] if len(sys.argv) > 3 else "76"
    env = dict(os.environ, VORANTE_ADAPTERS="127.0.0.1", QT_QPA_PLATFORM="offscreen")
    sim = subprocess.Popen([os.path.join(build, "vorante-sim"), "--port", "0"], stdin=subprocess.PIPE,
                           stdout=subprocess.PIPE, text=True, env=env)
    port = None
    for line in sim.stdout:
        line = line.strip()
        if line.startswith("udp "):
            port = line.rsplit(":", 1)[1]
        if line == "ready":
            break
    try:
        answer, exit_ = [], []
        for _ in range(runs):
            t0 = time.perf_counter()
            cli = subprocess.Popen(["stdbuf", "-oL", os.path.join(build, "vorante-cli"), "--console",
                                    "127.0.0.1:" + port, "get", param], stdout=subprocess.PIPE, env=env)
            line = cli.stdout.readline()
            t1 = time.perf_counter()
            cli.stdout.read()
            status = cli.wait()
            t2 = time.perf_counter()
            if status != 0 or not line:
                sys.exit("vorante-cli failed with status %d" % status)
            answer.append((t1 - t0) * 1000)
            exit_.append((t2 - t1) * 1000)
        total = [a + e for a, e in zip(answer, exit_)]
        print("get %s, %d runs (median / max, ms): start to answer %.2f / %.2f, answer to exit %.2f / %.2f, "
              "whole run %.2f / %.2f" % (param, runs, statistics.median(answer), max(answer),
                                         statistics.median(exit_), max(exit_), statistics.median(total), max(total)))
    finally:
        sim.stdin.write("quit\n")
        sim.stdin.close()
        sim.wait()


if __name__ == "__main__":
    main()
