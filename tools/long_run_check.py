#!/usr/bin/env python3
"""Long-run checks: memory and speed must not drift over a long session.

1. "infinite": one "go infinite" of SECONDS on THREADS threads with MultiPV
   4; resident memory and the node rate of each minute are sampled.
2. "pairs": PAIRS consecutive "position" / "go movetime 10" pairs in one
   process, walking through random games; resident memory after the first
   minute and at the end, and the mean time of a pair in the first and the
   last tenth.

Memory is the process's resident set (VmRSS), so a leak or a buffer that
grows shows up whatever allocator hides it. Exit status 1 when memory grew
by more than the allowance or the last stretch is markedly slower.

  tools/long_run_check.py ENGINE [--seconds 600] [--threads 2] [--pairs 10000]
                          [--only infinite|pairs]
"""
import argparse
import random
import os
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "shared", "tools", "python-chess"))
import chess  # noqa: E402

MEMORY_ALLOWANCE_KB = 1024   # page-rounding noise; a real leak is far larger
SLOWDOWN_ALLOWANCE = 1.25    # last tenth against the first, time per pair
SAMPLE_SECONDS = 60


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


class Engine:
    def __init__(self, cmd):
        self.p = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True, bufsize=1)
        self.last_nodes = 0
        self.last_nps = 0

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def wait_for(self, prefix):
        while True:
            line = self.p.stdout.readline()
            if not line:
                sys.exit("engine ended unexpectedly")
            if " nodes " in line:
                words = line.split()
                self.last_nodes = int(words[words.index("nodes") + 1])
                if "nps" in words:
                    self.last_nps = int(words[words.index("nps") + 1])
            if line.startswith(prefix):
                return line

    def ready(self):
        self.send("isready")
        self.wait_for("readyok")

    def quit(self):
        self.send("quit")
        self.p.wait(timeout=10)


def check_infinite(engine_cmd, seconds, threads):
    e = Engine(engine_cmd)
    e.send("uci")
    e.wait_for("uciok")
    e.send(f"setoption name Threads value {threads}")
    e.send("setoption name MultiPV value 4")
    e.ready()
    e.send("position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5")
    e.send("go infinite")
    # The engine's output is drained by a thread of its own, so a full pipe
    # never stalls the search; it keeps the last node count for the samples.
    threading.Thread(target=lambda: e.wait_for("bestmove"), daemon=True).start()
    start = time.monotonic()
    samples = []
    while (t := time.monotonic() - start) < seconds:
        time.sleep(min(SAMPLE_SECONDS, seconds - t))
        samples.append((time.monotonic() - start, rss_kb(e.p.pid), e.last_nps))
        print(f"  {samples[-1][0]:6.0f} s  rss {samples[-1][1]} kB  nps {samples[-1][2]}",
              flush=True)
    e.send("stop")
    time.sleep(0.5)
    e.quit()
    grew = samples[-1][1] - samples[0][1]
    # The reported rate is the search's average since its start, taken from
    # the last line printed before each sample.
    print(f"infinite: rss after first minute {samples[0][1]} kB, at the end {samples[-1][1]} kB "
          f"(+{grew}); average nodes/s at each minute "
          f"{', '.join(f'{s[2] / 1e6:.2f}M' for s in samples)}")
    return grew <= MEMORY_ALLOWANCE_KB


def random_game(rng, plies):
    board = chess.Board()
    moves = []
    for _ in range(plies):
        legal = list(board.legal_moves)
        if not legal:
            break
        m = rng.choice(legal)
        board.push(m)
        moves.append(m.uci())
    return moves


def check_pairs(engine_cmd, pairs):
    rng = random.Random(1)
    e = Engine(engine_cmd)
    e.send("uci")
    e.wait_for("uciok")
    e.ready()
    games = [random_game(rng, 60) for _ in range(50)]
    start = time.monotonic()
    first_minute_rss = None
    times = []
    for i in range(pairs):
        g = games[i % len(games)]
        e.send("position startpos moves " + " ".join(g[: i % len(g) + 1]))
        t = time.monotonic()
        e.send("go movetime 10")
        e.wait_for("bestmove")
        times.append(time.monotonic() - t)
        if first_minute_rss is None and time.monotonic() - start >= SAMPLE_SECONDS:
            first_minute_rss = rss_kb(e.p.pid)
    end_rss = rss_kb(e.p.pid)
    e.quit()
    if first_minute_rss is None:
        first_minute_rss = end_rss
    tenth = max(1, pairs // 10)
    early = sum(times[:tenth]) / tenth
    late = sum(times[-tenth:]) / tenth
    print(f"pairs: {pairs} in {time.monotonic() - start:.0f} s; rss after first minute "
          f"{first_minute_rss} kB, at the end {end_rss} kB (+{end_rss - first_minute_rss}); "
          f"mean pair {early * 1000:.2f} ms first tenth, {late * 1000:.2f} ms last tenth")
    return end_rss - first_minute_rss <= MEMORY_ALLOWANCE_KB and late <= early * SLOWDOWN_ALLOWANCE


def main():
    p = argparse.ArgumentParser()
    p.add_argument("engine")
    p.add_argument("--seconds", type=float, default=600)
    p.add_argument("--threads", type=int, default=2)
    p.add_argument("--pairs", type=int, default=10000)
    p.add_argument("--only", default="")
    a = p.parse_args()
    ok = True
    if a.only in ("", "infinite"):
        ok &= check_infinite([a.engine], a.seconds, a.threads)
    if a.only in ("", "pairs"):
        ok &= check_pairs([a.engine], a.pairs)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
