#!/usr/bin/env python3
"""Plays many fast games in varied set-ups and counts every fault of Zerv's.

A fault is a game Zerv lost on time, by an illegal move, or by leaving the
game (crash, hang, disconnect), or any move of Zerv's that python-chess
finds illegal when it replays the game. Each configuration is one fastchess
run; the games, the match manager's log and the summary stay in OUT.

  tools/reliability_games.py ENGINE OUT [--scale 1.0] [--only NAME,...]
                             [--fastchess PATH] [--concurrency 1] [--seed 0]

--scale multiplies every configuration's game count (0.1 for a quick look).
"""
import argparse
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.normpath(os.path.join(HERE, "..", "..", "shared", "data"))
sys.path.insert(0, os.path.normpath(os.path.join(DATA, "..", "tools", "python-chess")))
import chess.pgn  # noqa: E402

OPENINGS = os.path.join(DATA, "openings", "noob_3moves_20k.epd")
FRC = os.path.join(DATA, "openings", "frc_3moves_10k.epd")
BOOK = os.path.join(DATA, "books", "performance.bin")
TABLES = os.path.join(DATA, "syzygy")

FAST = "tc=1+0.01"
TEN_MS = "st=0.01"

# name, games, opening file, Chess960, [(engine name, command, options)], time control.
# Zerv is always the first engine; the opponent's options follow its command.
def configurations(zerv):
    books = ["option.OwnBook=true", "option.OwnBook_File=" + BOOK, "option.SyzygyPath=" + TABLES]
    z = lambda name, *opts: (name, zerv, list(opts))
    return [
        ("nn-vs-ethereal", 300, OPENINGS, False,
         [z("zerv"), ("ethereal", "/usr/games/ethereal-chess", [])], FAST),
        ("hce-vs-toga2", 300, OPENINGS, False,
         [z("zerv", "args=-use_hce"), ("toga2", "/usr/games/toga2", [])], FAST),
        ("nn-2threads-vs-stockfish", 200, OPENINGS, False,
         [z("zerv", "option.Threads=2"), ("stockfish", "/usr/games/stockfish", ["option.Threads=2"])],
         FAST),
        ("nn-vs-hce-10ms", 400, OPENINGS, False,
         [z("zerv"), z("zerv-hce", "args=-use_hce")], TEN_MS),
        ("chess960-nn-vs-hce", 300, FRC, True,
         [z("zerv"), z("zerv-hce", "args=-use_hce")], FAST),
        ("chess960-vs-stockfish", 100, FRC, True,
         [z("zerv"), ("stockfish", "/usr/games/stockfish", [])], FAST),
        ("books-tables-vs-glaurung", 300, OPENINGS, False,
         [z("zerv", *books), ("glaurung", "/usr/games/glaurung", [])], FAST),
        ("2threads-10ms-vs-stockfish", 100, OPENINGS, False,
         [z("zerv", "option.Threads=2"), ("stockfish", "/usr/games/stockfish", [])], TEN_MS),
    ]


def run(conf, out, fastchess, concurrency, scale, seed):
    name, games, openings, frc, engines, tc = conf
    rounds = max(1, int(games * scale) // 2)
    pgn = os.path.join(out, name + ".pgn")
    cmd = [fastchess]
    for ename, command, opts in engines:
        cmd += ["-engine", "name=" + ename, "cmd=" + command] + opts
    cmd += ["-each", tc, "option.Hash=16", "-openings", "file=" + openings, "format=epd",
            "order=random", "-srand", str(seed * 1000 + len(name)), "-rounds", str(rounds), "-games", "2",
            "-repeat", "-concurrency", str(concurrency), "-recover", "-pgnout", "file=" + pgn]
    if frc:
        cmd += ["-variant", "fischerandom"]
    with open(os.path.join(out, name + ".log"), "w") as log:
        # fastchess saves its state as config.json in its working folder.
        subprocess.run(cmd, stdout=log, stderr=subprocess.STDOUT, check=False, cwd=out)
    return pgn


# Terminations fastchess writes for a game a side lost by a fault of its own.
FAULTS = {"time forfeit": "time", "illegal move": "illegal", "abandoned": "left",
          "stalled connection": "hang"}


def faults_of(pgn):
    counts = {"games": 0, "time": 0, "illegal": 0, "left": 0, "hang": 0, "replay": 0}
    with open(pgn, encoding="utf-8", errors="replace") as f:
        while (game := chess.pgn.read_game(f)) is not None:
            counts["games"] += 1
            if game.errors:
                counts["replay"] += 1
            term = game.headers.get("Termination", "").lower()
            result = game.headers.get("Result", "*")
            loser = {"1-0": "Black", "0-1": "White"}.get(result)
            zerv_lost = loser is not None and game.headers.get(loser, "").startswith("zerv")
            for text, key in FAULTS.items():
                if text in term and zerv_lost:
                    counts[key] += 1
    return counts


def main():
    p = argparse.ArgumentParser()
    p.add_argument("engine")
    p.add_argument("out")
    p.add_argument("--scale", type=float, default=1.0)
    p.add_argument("--only", default="")
    p.add_argument("--fastchess", default=os.path.join(DATA, "..", "tools", "fastchess"))
    p.add_argument("--concurrency", type=int, default=1)
    p.add_argument("--seed", type=int, default=0, help="another seed, other openings")
    a = p.parse_args()
    a.out = os.path.abspath(a.out)
    os.makedirs(a.out, exist_ok=True)
    wanted = set(filter(None, a.only.split(",")))
    total = {}
    for conf in configurations(os.path.abspath(a.engine)):
        if wanted and conf[0] not in wanted:
            continue
        pgn = run(conf, a.out, a.fastchess, a.concurrency, a.scale, a.seed)
        counts = faults_of(pgn)
        line = conf[0] + ": " + ", ".join(f"{k} {v}" for k, v in counts.items())
        print(line, flush=True)
        with open(os.path.join(a.out, "summary.txt"), "a") as s:
            s.write(line + "\n")
        for k, v in counts.items():
            total[k] = total.get(k, 0) + v
    print("total: " + ", ".join(f"{k} {v}" for k, v in total.items()))
    bad = sum(v for k, v in total.items() if k != "games")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
