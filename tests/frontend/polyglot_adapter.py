#!/usr/bin/env python3
"""A short game through Debian's polyglot adapter, which puts the engine
behind the xboard protocol as many GUIs still drive it.

usage: polyglot_adapter.py ZERV POLYGLOT STOCKFISH

The script is the xboard GUI: it writes a polyglot .ini naming the engine,
plays moves given with "usermove" and as plain moves, lets the engine move
after "force" and "go", and ends with "quit". Every engine move must be
legal; Stockfish's "go perft 1" lists the legal moves independently of
the engine under test.
"""
import os
import queue
import subprocess
import sys
import tempfile
import threading
import time

ANSWER_SECONDS = 60.0  # a loaded machine may take a while to start a move
QUIT_SECONDS = 15.0


class Peer:
    """A child process spoken to line by line, its output read in a thread."""

    def __init__(self, argv, cwd):
        self.proc = subprocess.Popen(argv, cwd=cwd, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                     text=True, bufsize=1)
        self.lines = queue.Queue()
        self.transcript = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)

    def send(self, text):
        self.transcript.append("> " + text)
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()

    def expect(self, accept, seconds=ANSWER_SECONDS):
        """The first line for which accept(line) is true; fails on timeout or end."""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            try:
                line = self.lines.get(timeout=max(left, 0.01))
            except queue.Empty:
                fail(self, "no answer in time")
            if line is None:
                fail(self, "output ended")
            self.transcript.append("< " + line)
            if "llegal" in line or "rror" in line:
                fail(self, "adapter reported: " + line)
            if accept(line):
                return line


def fail(peer, why):
    sys.stderr.write("\n".join(peer.transcript[-60:]) + "\n")
    sys.exit("polyglot adapter test: " + why)


class LegalMoves:
    """Stockfish as the independent move generator."""

    def __init__(self, path, cwd):
        self.peer = Peer([path], cwd)
        self.peer.send("uci")
        self.peer.expect(lambda l: l == "uciok")

    def of(self, moves):
        self.peer.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))
        self.peer.send("go perft 1")
        legal = []
        while True:
            line = self.peer.expect(lambda l: ":" in l)
            if line.startswith("Nodes searched"):
                return sorted(legal)
            legal.append(line.split(":")[0])

    def close(self):
        self.peer.send("quit")
        self.peer.proc.wait(timeout=QUIT_SECONDS)


def write_ini(directory, engine):
    path = os.path.join(directory, "zerv.ini")
    with open(path, "w") as f:
        f.write("[PolyGlot]\nEngineCommand = %s\nEngineDir = %s\nLog = false\nBook = false\n"
                "[Engine]\nHash = 8\nThreads = 1\n" % (engine, directory))
    return path


def engine_move(gui, legal, moves):
    line = gui.expect(lambda l: l.startswith("move "))
    move = line.split()[1]
    if move not in legal.of(moves):
        fail(gui, "engine played %s, not legal after %s" % (move, " ".join(moves) or "start"))
    moves.append(move)


def play_game(engine, polyglot, stockfish):
    with tempfile.TemporaryDirectory() as directory:
        legal = LegalMoves(stockfish, directory)
        gui = Peer([polyglot, write_ini(directory, engine)], directory)
        gui.send("xboard")
        gui.send("protover 2")
        gui.expect(lambda l: l == "feature done=1")
        gui.send("accepted usermove")
        gui.send("new")
        gui.send("post")
        gui.send("st 1")
        moves = []
        # The GUI's own moves are the first legal ones: the game is the same
        # whatever the engine plays, as long as it plays legally.
        for form in ("usermove %s", "%s", "usermove %s"):
            mine = legal.of(moves)[0]
            gui.send(form % mine)
            moves.append(mine)
            engine_move(gui, legal, moves)
        # Two moves entered for both sides, then the engine takes over.
        gui.send("force")
        for _ in range(2):
            mine = legal.of(moves)[-1]
            gui.send(mine)
            moves.append(mine)
        gui.send("go")
        engine_move(gui, legal, moves)
        gui.send("quit")
        code = gui.proc.wait(timeout=QUIT_SECONDS)
        legal.close()
        if code != 0:
            fail(gui, "adapter exit status %d" % code)
        print("polyglot adapter game: " + " ".join(moves))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    play_game(*sys.argv[1:])
