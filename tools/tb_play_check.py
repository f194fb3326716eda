#!/usr/bin/env python3
"""Plays won and drawn tablebase positions out, Zerv against itself.

Positions come from the reference probe file: for each listed material a
few wins for the side to move (and, separately, drawn positions). The
match manager (fastchess) plays each once at a fixed time per move with
the tables given to both sides; no adjudication, so a game ends only by
mate, stalemate, repetition, insufficient material or the fifty-move rule.
A won position must end in a mate by the side that was winning; a drawn
one must not be lost.

  tools/tb_play_check.py ENGINE TABLES PROBES [--per 3] [--st 0.05]
                         [--fastchess PATH]
"""
import argparse
import os
import re
import subprocess
import tempfile

WON = ["KQvK", "KRvK", "KBNvK", "KPvK", "KQvKR", "KRPvK", "KPPvK", "KQvKP"]
DRAWN = ["KPvK", "KRvKB", "KQvKQ", "KPvKP", "KRvKR", "KBvKP"]


def material(fen):
    board = fen.split()[0]
    white = "K" + "".join(sorted((c for c in board if c.isupper() and c != "K"), key="QRBNP".index))
    black = "K" + "".join(sorted((c.upper() for c in board if c.islower() and c != "k"),
                                 key="QRBNP".index))
    return {white + "v" + black, black + "v" + white}


def pick(path, names, wdl, per):
    chosen = []
    counts = {n: 0 for n in names}
    with open(path) as f:
        for line in f:
            if line.startswith("#") or "|" not in line:
                continue
            fen, w, _ = (x.strip() for x in line.split("|"))
            if int(w) != wdl:
                continue
            for n in names:
                if n in material(fen) and counts[n] < per:
                    counts[n] += 1
                    chosen.append((n, fen))
                    break
    return chosen


def play(args, positions):
    work = tempfile.mkdtemp(prefix="zerv-tbplay-")
    epd = os.path.join(work, "start.epd")
    pgn = os.path.join(work, "games.pgn")
    with open(epd, "w") as f:
        for _, fen in positions:
            f.write(" ".join(fen.split()[:4]) + "\n")
    engine = ["cmd=" + os.path.abspath(args.engine), "option.SyzygyPath=" + args.tables]
    cmd = [args.fastchess, "-engine", "name=white", *engine, "-engine", "name=black", *engine,
           "-each", "proto=uci", "st=%s" % args.st, "timemargin=2000", "-openings", "file=" + epd, "format=epd",
           "order=sequential", "-rounds", str(len(positions)), "-games", "1",
           "-pgnout", "file=" + pgn, "-concurrency", "1"]
    # fastchess writes its own config.json into the working directory.
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False, cwd=work)
    games = []
    with open(pgn) as f:
        text = f.read()
    for block in text.split("[Event ")[1:]:
        fen = re.search(r'\[FEN "([^"]+)"\]', block)
        result = re.search(r'\[Result "([^"]+)"\]', block).group(1)
        term = re.search(r'\[Termination "([^"]+)"\]', block)
        plies = re.search(r'\[PlyCount "(\d+)"\]', block)
        games.append((fen.group(1) if fen else "?", result, term.group(1) if term else "",
                      plies.group(1) if plies else "?"))
    return games


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("engine")
    ap.add_argument("tables")
    ap.add_argument("probes")
    ap.add_argument("--per", type=int, default=3)
    ap.add_argument("--st", default="0.05")
    ap.add_argument("--fastchess", default="/work/shared/tools/fastchess")
    args = ap.parse_args()
    failures = 0
    for label, names, wdl in (("won", WON, 2), ("drawn", DRAWN, 0)):
        positions = pick(args.probes, names, wdl, args.per)
        games = play(args, positions)
        for (name, fen), (gfen, result, term, plies) in zip(positions, games):
            mover_white = fen.split()[1] == "w"
            if wdl == 2:
                ok = result == ("1-0" if mover_white else "0-1")
            else:
                ok = result == "1/2-1/2"
            failures += not ok
            print("%-5s %-6s %-40s %-7s %4s plies  %s%s" % (label, name, fen, result, plies, term,
                                                          "" if ok else "  <-- FAILED"))
        if len(games) != len(positions):
            print("%s: %d positions but %d games" % (label, len(positions), len(games)))
            failures += 1
    print("failures: %d" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    raise SystemExit(main())
