#!/usr/bin/env python3
"""Agreement of Zerv's books with Debian's polyglot tool (run by hand).

A PGN collection is written from the lines `polyglot dump-book` gives for a
book (both colours, results drawn from a fixed pattern). Zerv (-mkbook) and
`polyglot make-book -max-ply 36 -min-game 1` then make books from it:
every entry of Zerv's book must stand in polyglot's with the same key and
move. Last, the first-move shares of `polyglot dump-book` on Zerv's book are
printed beside Zerv's own listing of the start position.

Usage: tools/book_agreement.py ZERV BOOK [POLYGLOT]
"""
import os, re, struct, subprocess, sys, tempfile

RESULTS = ["1-0", "1-0", "1/2-1/2", "0-1"]
START_KEY = 0x463B96181691FC9C


def entries(path):
    data = open(path, "rb").read()
    return [struct.unpack(">QHHI", data[i:i + 16]) for i in range(0, len(data) - 15, 16)]


def write_games(polyglot, book, work):
    games = 0
    with open(os.path.join(work, "lines.pgn"), "w") as out:
        for colour in ("white", "black"):
            dump = os.path.join(work, colour + ".txt")
            subprocess.run([polyglot, "dump-book", "-bin", book, "-color", colour, "-out", dump],
                           capture_output=True, check=True)
            for line in open(dump):
                m = re.match(r"^\d+: (.*)$", line.strip())
                if not m:
                    continue
                games += 1
                result = RESULTS[(games * 2654435761 & 0xFFFFFFFF) % len(RESULTS)]
                moves = re.sub(r"\{\d+%\}", "", m.group(1))
                out.write('[Event "line %d"]\n[Result "%s"]\n\n%s %s\n\n' % (games, result, moves, result))
    return games


def main():
    zerv, book = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    polyglot = sys.argv[3] if len(sys.argv) > 3 else "/usr/games/polyglot"
    work = tempfile.mkdtemp()
    print("games written from the book's lines:", write_games(polyglot, book, work))
    subprocess.run([zerv, "-mkbook", "lines.pgn"], cwd=work, capture_output=True, check=True)
    subprocess.run([polyglot, "make-book", "-pgn", "lines.pgn", "-bin", "pg.bin", "-max-ply", "36",
                    "-min-game", "1"], cwd=work, capture_output=True, check=True)
    ours, theirs = entries(os.path.join(work, "tmp_book.bin")), entries(os.path.join(work, "pg.bin"))
    pairs = {(k, m) for k, m, _, _ in theirs}
    found = sum((k, m) in pairs for k, m, _, _ in ours)
    print("Zerv's entries: %d, found in polyglot's book (%d entries): %d" % (len(ours), len(theirs), found))
    dump = os.path.join(work, "zw.txt")
    subprocess.run([polyglot, "dump-book", "-bin", os.path.join(work, "tmp_book.bin"), "-color", "white",
                    "-out", dump], capture_output=True, check=True)
    shares = sorted({tuple(l.split()[1:3]) for l in open(dump) if re.match(r"^\d+: ", l)})
    print("polyglot dump-book, first moves:", " ".join(s[1] for s in shares))
    listing = subprocess.run([zerv, "-c", "-book", "tmp_book.bin"], cwd=work, input="book\nquit\n",
                             capture_output=True, text=True).stdout
    print("Zerv's book command:\n" + "\n".join(l for l in listing.splitlines() if "cnt=" in l))
    # Zerv reading polyglot's book: the start position lists its entries.
    listing = subprocess.run([zerv, "-c", "-book", "pg.bin"], cwd=work, input="book\nquit\n",
                             capture_output=True, text=True).stdout
    listed = [(l.split()[0], int(l.split()[2].rstrip(","))) for l in listing.splitlines() if "cnt=" in l]
    square = lambda s: "abcdefgh"[s & 7] + str((s >> 3) + 1)
    start = [(square(m >> 6 & 63) + square(m & 63), w) for k, m, w, _ in theirs
             if k == START_KEY and w > 0]
    print("polyglot's book at the start position, read by Zerv:", "same" if listed == start else "DIFFERENT")
    return 0 if found == len(ours) and listed == start else 1


if __name__ == "__main__":
    sys.exit(main())
