#!/usr/bin/env python3
"""Solves an EPD test suite through the UCI protocol and prints the score.

Every position is searched with "go movetime"; an answer counts as solved
when it is one of the "bm" moves (and none of the "am" moves). Moves are
compared by the position they lead to, which the engine's own console mode
computes, so SAN in the suite and coordinate moves from the engine need no
second move generator here.

  tools/epd_uci.py ENGINE SUITE [--ms 1000] [--args "-use_hce"]
                   [--threads 1] [--hash 64] [--limit N]
"""
import argparse
import re
import shlex
import subprocess
import sys
import time


def read_suite(path, limit):
    entries = []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) < 4:
                continue
            fen = " ".join(fields[:4])
            ops = " ".join(fields[4:])
            entry = {"fen": fen, "bm": [], "am": [], "id": ""}
            for op in ops.split(";"):
                words = op.strip().split()
                if not words:
                    continue
                if words[0] in ("bm", "am"):
                    entry[words[0]] = words[1:]
                elif words[0] == "id":
                    entry["id"] = " ".join(words[1:]).strip('"')
            if entry["bm"] or entry["am"]:
                entries.append(entry)
            if limit and len(entries) >= limit:
                break
    return entries


class Uci:
    def __init__(self, command):
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def wait_for(self, prefix):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                sys.exit("engine ended unexpectedly")
            if line.startswith(prefix):
                return line.strip()

    def close(self):
        self.send("quit")
        self.proc.wait(timeout=10)


def search_all(args, entries):
    engine = Uci([args.engine] + shlex.split(args.args))
    engine.send("uci")
    engine.wait_for("uciok")
    engine.send("setoption name Threads value %d" % args.threads)
    engine.send("setoption name Hash value %d" % args.hash)
    answers = []
    started = time.time()
    for n, e in enumerate(entries, 1):
        engine.send("ucinewgame")
        engine.send("isready")
        engine.wait_for("readyok")
        engine.send("position fen %s 0 1" % e["fen"])
        engine.send("go movetime %d" % args.ms)
        answers.append(engine.wait_for("bestmove").split()[1])
        if n % 25 == 0:
            print("  %d/%d searched, %.0f s" % (n, len(entries), time.time() - started),
                  file=sys.stderr)
    engine.close()
    return answers


def positions_after(engine_path, entries, answers):
    """For every entry, the board after each bm/am move and after the answer."""
    script = []
    for e, answer in zip(entries, answers):
        for move in e["bm"] + e["am"] + [answer]:
            script.append("fen %s 0 1" % e["fen"])
            script.append("move %s" % move)
    script.append("quit")
    out = subprocess.run([engine_path, "-c"], input="\n".join(script) + "\n",
                         capture_output=True, text=True).stdout.splitlines()
    results = []
    for i, line in enumerate(out):
        if re.match(r"^\d+\. move \S+$", line):
            after = out[i + 1] if i + 1 < len(out) else ""
            results.append(after if after.count("/") == 7 else None)
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("engine")
    parser.add_argument("suite")
    parser.add_argument("--ms", type=int, default=1000)
    parser.add_argument("--args", default="")
    parser.add_argument("--threads", type=int, default=1)
    parser.add_argument("--hash", type=int, default=64)
    parser.add_argument("--limit", type=int, default=0)
    args = parser.parse_args()

    entries = read_suite(args.suite, args.limit)
    answers = search_all(args, entries)
    boards = positions_after(args.engine, entries, answers)
    expected = sum(len(e["bm"]) + len(e["am"]) + 1 for e in entries)
    if len(boards) != expected:
        sys.exit("console replay gave %d boards, expected %d" % (len(boards), expected))

    solved, missed, at = 0, [], 0
    for e, answer in zip(entries, answers):
        count = len(e["bm"]) + len(e["am"])
        best = boards[at:at + len(e["bm"])]
        avoid = boards[at + len(e["bm"]):at + count]
        mine = boards[at + count]
        at += count + 1
        ok = mine is not None and (not e["bm"] or mine in best) and mine not in avoid
        if ok:
            solved += 1
        else:
            missed.append("%s (%s, wanted %s)" % (e["id"], answer, " ".join(e["bm"] or e["am"])))
    print("solved %d of %d at %d ms per move (%s)" % (solved, len(entries), args.ms,
                                                      args.args or "default evaluation"))
    for m in missed:
        print("  missed " + m)


if __name__ == "__main__":
    main()
