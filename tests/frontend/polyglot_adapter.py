#!/usr/bin/env python3
"""A short game through Debian's polyglot adapter, which puts the engine
behind the xboard protocol as many GUIs still drive it.
usage: polyglot_adapter.py ZERV POLYGLOT STOCKFISH
The script is the xboard GUI: it plays moves given with "usermove" and as
plain moves, lets the engine move after "force" and "go", and quits. Every
engine move must be legal; Stockfish's "go perft 1" lists the legal moves
independently of the engine under test."""
import os, queue, subprocess, sys, tempfile, threading, time

ANSWER_SECONDS = 60.0  # a loaded machine may take a while to start a move
QUIT_SECONDS = 15.0


class Peer:
    """A child process spoken to line by line, its output read in a thread."""

    def __init__(self, argv, cwd):
        self.proc = subprocess.Popen(argv, cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, text=True, bufsize=1)
        self.lines, self.transcript = queue.Queue(), []
        threading.Thread(target=lambda: [self.lines.put(l.rstrip("\n")) for l in self.proc.stdout]
                         + [self.lines.put(None)], daemon=True).start()

    def send(self, *texts):
        for text in texts:
            self.transcript.append("> " + text)
            self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()

    def expect(self, accept):
        """The first line for which accept(line) is true; fails on timeout, end or an error."""
        deadline = time.monotonic() + ANSWER_SECONDS
        while True:
            try:
                line = self.lines.get(timeout=max(deadline - time.monotonic(), 0.01))
            except queue.Empty:
                self.fail("no answer in time")
            if line is None or "llegal" in line or "rror" in line:
                self.fail("output ended" if line is None else "adapter reported: " + line)
            self.transcript.append("< " + line)
            if accept(line):
                return line

    def fail(self, why):
        sys.stderr.write("\n".join(self.transcript[-60:]) + "\n")
        sys.exit("polyglot adapter test: " + why)


def legal_after(stockfish, moves):
    stockfish.send("position startpos moves " + " ".join(moves), "go perft 1")
    legal = []
    while not (line := stockfish.expect(lambda l: ":" in l)).startswith("Nodes searched"):
        legal.append(line.split(":")[0])
    return sorted(legal)


def play_game(engine, polyglot, stockfish_path):
    with tempfile.TemporaryDirectory() as directory:
        ini = os.path.join(directory, "zerv.ini")
        with open(ini, "w") as f:
            f.write("[PolyGlot]\nEngineCommand = %s\nEngineDir = %s\nLog = false\nBook = false\n"
                    "[Engine]\nHash = 8\nThreads = 1\n" % (engine, directory))
        stockfish = Peer([stockfish_path], directory)
        stockfish.send("uci")
        stockfish.expect(lambda l: l == "uciok")
        gui = Peer([polyglot, ini], directory)
        gui.send("xboard", "protover 2")
        gui.expect(lambda l: l == "feature done=1")
        gui.send("accepted usermove", "new", "post", "st 1")
        moves = []

        def engine_move():
            move = gui.expect(lambda l: l.startswith("move ")).split()[1]
            if move not in legal_after(stockfish, moves):
                gui.fail("engine played %s, not legal after %s" % (move, " ".join(moves) or "start"))
            moves.append(move)

        # The GUI's own moves are the first (then last) legal ones: the game
        # is the same whatever the engine plays, as long as it plays legally.
        for form in ("usermove %s", "%s", "usermove %s"):
            moves.append(legal_after(stockfish, moves)[0])
            gui.send(form % moves[-1])
            engine_move()
        gui.send("force")  # two moves entered for both sides, then the engine takes over
        for _ in range(2):
            moves.append(legal_after(stockfish, moves)[-1])
            gui.send(moves[-1])
        gui.send("go")
        engine_move()
        gui.send("quit")
        stockfish.send("quit")
        if gui.proc.wait(timeout=QUIT_SECONDS) != 0:
            gui.fail("adapter exit status %d" % gui.proc.returncode)
        print("polyglot adapter game: " + " ".join(moves))


if __name__ == "__main__":
    play_game(*sys.argv[1:]) if len(sys.argv) == 4 else sys.exit(__doc__)
