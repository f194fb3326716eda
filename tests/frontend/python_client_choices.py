"""The places where Zerv follows what clients expect (README, "Choices made
for clients"), driven through the python-chess engine API as analysis
scripts, lichess-bot and match tools drive an engine.
Usage: python_client_choices.py ENGINE_BINARY SYZYGY_DIR.
Prints one line per failed check and exits with status 1 if any failed."""
import logging
import pathlib
import re
import sys

import chess
import chess.engine

failures = []
README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


class Dialogue(logging.Handler):
    """The lines python-chess sends and reads, from its debug log."""

    def __init__(self):
        super().__init__(logging.DEBUG)
        self.sent, self.read = [], []

    def emit(self, record):
        if record.msg == "%s: << %s":
            self.sent.append(record.args[1])
        elif record.msg == "%s: >> %s":
            self.read.append(record.args[1])


def check(ok, text):
    if not ok:
        failures.append(text)


def half_move_clock(engine, tables):
    """python-chess sends the board's real clock in the FEN."""
    limit = chess.engine.Limit
    # A quiet move at clock 99: whatever Black does next reaches 101, a draw.
    board = chess.Board("4k3/8/8/8/8/8/8/3QK3 w - - 99 80")
    board.push_uci("d1d2")
    score = engine.analyse(board, limit(depth=6))["score"].relative
    check(score == chess.engine.Cp(0), f"clock 99 and a quiet move scored {score}")
    board = chess.Board("4k3/8/8/8/8/8/8/3QK3 w - - 0 80")
    board.push_uci("d1d2")
    score = engine.analyse(board, limit(depth=6))["score"].relative
    check(score < chess.engine.Cp(-500), f"clock 0 and a quiet move scored {score}")
    # The tablebase move at once (depth 99) from a clock of 10 on.
    engine.configure({"SyzygyPath": tables})
    for clock, at_once in ((12, True), (9, False)):
        board = chess.Board(f"8/8/8/4k3/8/8/8/3QK3 w - - {clock} 40")
        played = engine.play(board, limit(depth=6), info=chess.engine.INFO_BASIC)
        depth = played.info.get("depth")
        check((depth == 99) == at_once and played.move in board.legal_moves,
              f"tablebase root at clock {clock}: {played.move} at depth {depth}")
    engine.configure({"SyzygyPath": "<empty>"})


def castling(engine):
    """Two rooks on one side of the king. For a Chess960 board python-chess
    sets UCI_Chess960 and sends the rook's file (Shredder-FEN), for a
    standard board "KQkq"; the engine must castle with the same rook."""
    limit = chess.engine.Limit(depth=1)
    cases = [
        ("4k3/8/8/8/8/8/8/4KR1R w K - 0 1", False, ["f1f2", "e8d8"], "e1g1"),
        ("4k3/8/8/8/8/8/8/4KR1R w K - 0 1", True, ["f1f2", "e8d8"], "e1h1"),
        ("4k3/8/8/8/8/8/8/4KR1R w F - 0 1", True, [], "e1f1"),
        ("1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 w KQkq - 0 1", True, ["a1a2"], "e8b8"),
        ("1r2k1rr/6p1/8/8/8/8/6P1/RR2K1R1 w GBgb - 0 1", True, ["e1b1"], "e8g8"),
    ]
    for fen, chess960, moves, castle in cases:
        board = chess.Board(fen, chess960=chess960)
        for move in moves:
            board.push_uci(move)
        wanted = chess.Move.from_uci(castle)
        check(board.is_castling(wanted) and wanted in board.legal_moves,
              f"test set-up: {castle} is no legal castling in {board.fen()}")
        played = engine.play(board, limit, root_moves=[wanted])
        check(played.move == wanted, f"{board.fen()} ({'960' if chess960 else 'standard'}): played {played.move}")
        board.push(wanted)
        # The position after castling, as the engine now holds it: every
        # legal move of the reply is one python-chess also finds legal.
        info = engine.analyse(board, limit, multipv=50)
        firsts = {line["pv"][0] for line in info if line.get("pv")}
        check(firsts == set(board.legal_moves),
              f"after {castle} in {fen}: engine moves {sorted(m.uci() for m in firsts)}")


def readme_uci_options():
    """The uci_options of the lichess-bot block in the README."""
    text = README.read_text()
    block = text[text.index("## lichess-bot and python-chess"):]
    block = block[block.index("```yaml"):]
    block = block[:block.index("```", 7)]
    options, inside = {}, False
    for line in block.splitlines():
        if line.strip() == "uci_options:":
            inside = True
        elif inside and re.match(r"^ {4}\S", line):
            name, value = line.split("#")[0].split(":", 1)
            options[name.strip()] = value.strip().strip('"')
        elif inside and line.strip():
            inside = False
    return options


def option_names(engine, tables, dialogue):
    """python-chess finds options in any case and sends the user's
    spelling; the engine sets them under their own names."""
    engine.configure({"hash": 16, "THREADS": 2, "moveoverhead": 30})
    engine.ping()
    for sent, answer in (("setoption name hash value 16", "info string Hash set to 16"),
                         ("setoption name THREADS value 2", "info string Threads set to 2"),
                         ("setoption name moveoverhead value 30", "info string MoveOverhead set to 30")):
        check(sent in dialogue.sent, f"python-chess did not send '{sent}'")
        check(answer in dialogue.read, f"no '{answer}' after '{sent}'")
    check("Hash" in list(engine.options), f"listed names: {list(engine.options)}")
    # The README's block for lichess-bot: every name is one the engine lists
    # (UCI_ShowWDL comes with the win/draw/loss output), and python-chess
    # configures the engine with it as lichess-bot would.
    options = readme_uci_options()
    check({"MoveOverhead", "Threads", "Hash", "SyzygyPath"} <= options.keys(), f"README block: {options}")
    listed = {name: value for name, value in options.items() if name in engine.options}
    check(set(options) - set(listed) <= {"UCI_ShowWDL"}, f"README names Zerv does not list: {options}")
    listed["SyzygyPath"] = tables
    found = dialogue.read.count("info string found 35 tablebases")
    try:
        engine.configure(listed)
        engine.ping()
    except chess.engine.EngineError as error:
        check(False, f"README block refused: {error}")
    check(dialogue.read.count("info string found 35 tablebases") == found + 1, "README block: no tables found")
    engine.configure({"SyzygyPath": "<empty>", "Hash": 16, "Threads": 1})


def table_paths(engine, tables, dialogue):
    """SyzygyPath with ":" between directories, as lichess-bot users on Linux
    write it: both are searched (the tables twice found once)."""
    found = dialogue.read.count("info string found 35 tablebases")
    engine.configure({"SyzygyPath": f"/nonexistent/zerv:{tables}:{tables}"})
    engine.ping()
    check(dialogue.read.count("info string found 35 tablebases") == found + 1,
          f"SyzygyPath with ':' found: {[l for l in dialogue.read if 'found' in l]}")
    board = chess.Board("8/8/8/4k3/8/8/8/3QK3 w - - 12 40")
    played = engine.play(board, chess.engine.Limit(depth=6), info=chess.engine.INFO_BASIC)
    check(played.info.get("tbhits", 0) > 0, f"no table probed through a ':' path: {played.info}")
    engine.configure({"SyzygyPath": "<empty>"})


if __name__ == "__main__":
    dialogue = Dialogue()
    logging.getLogger("chess.engine").addHandler(dialogue)
    logging.getLogger("chess.engine").setLevel(logging.DEBUG)
    with chess.engine.SimpleEngine.popen_uci(sys.argv[1], timeout=60) as engine:
        half_move_clock(engine, sys.argv[2])
        castling(engine)
        option_names(engine, sys.argv[2], dialogue)
        table_paths(engine, sys.argv[2], dialogue)
    print("\n".join(failures))
    sys.exit(1 if failures else 0)
