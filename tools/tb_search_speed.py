#!/usr/bin/env python3
"""Search speed with and without the Syzygy tables on 4-piece positions.

Each position of the probe file with four pieces and a decisive or drawn
result is searched through UCI for a fixed time, once with
SyzygyPath empty and once with the tables; the nodes per second of both
runs are summed over all positions and compared. One thread; figures
measured on a shared machine vary from run to run.

  tools/tb_search_speed.py ENGINE TABLES PROBES [--ms 500] [--limit 40]
"""
import argparse
import re
import subprocess
import time


def four_piece_fens(path, limit):
    fens = []
    with open(path) as f:
        for line in f:
            if line.startswith("#") or "|" not in line:
                continue
            fen = line.split("|")[0].strip()
            board = fen.split()[0]
            if sum(c.isalpha() for c in board) == 4:
                fens.append(fen)
    step = max(1, len(fens) // limit)
    return fens[::step][:limit]


def run(engine, tables, fens, ms_per_move):
    proc = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True, bufsize=1)
    def send(text):
        proc.stdin.write(text + "\n")
        proc.stdin.flush()
    def wait(prefix):
        lines = []
        while True:
            line = proc.stdout.readline()
            if not line:
                raise RuntimeError("engine ended")
            lines.append(line)
            if line.startswith(prefix):
                return lines
    send("uci")
    wait("uciok")
    send("setoption name SyzygyPath value " + (tables or "<empty>"))
    total_nodes = total_ms = hits = 0
    for fen in fens:
        send("ucinewgame")
        send("position fen " + fen)
        send("isready")
        wait("readyok")
        send("go movetime %d" % ms_per_move)
        last = None
        for line in wait("bestmove"):
            if line.startswith("info depth"):
                last = line
        if last is None:
            continue
        nodes_done = int(re.search(r" nodes (\d+)", last).group(1))
        ms = int(re.search(r" time (\d+)", last).group(1))
        hits += int(re.search(r" tbhits (\d+)", last).group(1))
        total_nodes += nodes_done
        total_ms += ms
    send("quit")
    proc.wait()
    return total_nodes, total_ms, hits


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("engine")
    ap.add_argument("tables")
    ap.add_argument("probes")
    ap.add_argument("--ms", type=int, default=500)
    ap.add_argument("--limit", type=int, default=40)
    a = ap.parse_args()
    fens = four_piece_fens(a.probes, a.limit)
    results = {}
    for name, tables in (("without tables", ""), ("with tables", a.tables)):
        nodes, ms, hits = run(a.engine, tables, fens, a.ms)
        nps = nodes * 1000.0 / max(ms, 1)
        results[name] = nps
        print("%-15s %d positions, %d nodes in %.2f s = %.0f nodes per second, %d tbhits"
              % (name, len(fens), nodes, ms / 1000.0, nps, hits))
    print("speed with tables: %.1f %% of the speed without"
          % (100.0 * results["with tables"] / results["without tables"]))


if __name__ == "__main__":
    main()
