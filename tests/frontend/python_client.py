"""The engine driven through the python-chess engine API, as analysis tools,
lichess-bot and match scripts drive it: analysis, play, a mate search,
every option as a client parses it, MultiPV, a game with pondering, and the
places where Zerv follows what clients expect (README, "Choices made for
clients"): castling with two rooks on one side (as chosen root moves) and
option names in any case. Usage: python_client.py ENGINE_BINARY SYZYGY_DIR.
Prints one line per failed check and exits with status 1 if any failed."""
import logging
import pathlib
import re
import sys

import chess
import chess.engine

WAC_1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -"
# Every option a GUI sees, with its type: a client builds its dialog from these.
OPTION_TYPES = {
    "ConfigFilePath": "string", "Hash": "spin", "Threads": "spin", "Clear_Hash": "button",
    "NN_File": "string", "Use_NN_eval": "check", "OwnBook": "check", "OwnBook_File": "string",
    "OwnBook_Depth": "spin", "OwnBook2_File": "string", "OwnBook2_Depth": "spin",
    "OwnBook_Variety": "spin", "SyzygyPath": "string", "SyzygyProbeDepth6": "spin", "Log": "check",
    "Ponder": "check", "MultiPV": "spin", "UCI_Chess960": "check", "MoveOverhead": "spin",
    "UCI_LimitStrength": "check", "UCI_Elo": "spin", "Contempt": "spin", "Selectivity": "spin",
    "UCI_ShowWDL": "check",
}
README = pathlib.Path(__file__).resolve().parents[2] / "README.md"
failures = []


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


def run(engine):
    board, limit = chess.Board(), chess.engine.Limit
    engine.analyse(board, limit(depth=3))
    # A game move after the analysis: its clock, not the analysis depth, limits it.
    played = engine.play(board, limit(white_clock=10, black_clock=10), info=chess.engine.INFO_BASIC)
    check(played.info.get("depth", 0) > 3, f"play after analyse reached {played.info.get('depth')}")
    played = engine.play(chess.Board(WAC_1), limit(mate=2))
    check(played.move == chess.Move.from_uci("g3g6"), f"mate 2 played {played.move}")

    seen = {name: option.type for name, option in engine.options.items()}
    check(seen == OPTION_TYPES, f"options as parsed: {seen}")
    hash_option = engine.options["Hash"]
    check((hash_option.default, hash_option.min) == (64, 0), f"Hash reads as {hash_option}")
    check(engine.options["UCI_ShowWDL"].default is False, "UCI_ShowWDL is not off by default")
    engine.configure({"Hash": 8, "Contempt": 10, "UCI_ShowWDL": True})

    # Each line has its own aspiration window after the lines before it, so
    # a later line may score a little above an earlier one; what a client
    # needs is three different first moves, every line from the last depth,
    # each with chances python-chess reads.
    lines = engine.analyse(board, limit(depth=8), multipv=3)
    firsts = {line["pv"][0] for line in lines if line.get("pv")}
    depths = [line.get("depth") for line in lines]
    check(len(firsts) == 3 and depths == [8, 8, 8], f"MultiPV 3 gave first moves {firsts} at depths {depths}")
    check(all("wdl" in line for line in lines), "MultiPV 3 lines without chances")

    # A short game against itself with pondering on: python-chess sends
    # "go ponder" after each move and "ponderhit" or "stop" as the game goes.
    clock = limit(white_clock=5, black_clock=5, white_inc=0.05, black_inc=0.05)
    while not board.is_game_over() and board.ply() < 40:
        move = engine.play(board, clock, ponder=True).move
        if move not in board.legal_moves:
            return check(False, f"illegal or no move {move} at ply {board.ply()}")
        board.push(move)


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


if __name__ == "__main__":
    dialogue = Dialogue()
    logging.getLogger("chess.engine").addHandler(dialogue)
    logging.getLogger("chess.engine").setLevel(logging.DEBUG)
    with chess.engine.SimpleEngine.popen_uci(sys.argv[1], timeout=60) as engine:
        run(engine)
        castling(engine)
        option_names(engine, sys.argv[2], dialogue)
    print("\n".join(failures))
    sys.exit(1 if failures else 0)
