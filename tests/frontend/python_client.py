"""The engine driven through the python-chess engine API, as analysis tools
and match scripts drive it (win/draw/loss chances read as the library
parses them included). Usage: python_client.py ENGINE_BINARY.
Prints one line per failed check and exits with status 1 if any failed."""
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
failures = []


def check(ok, text):
    if not ok:
        failures.append(text)


def run(engine):
    board, limit = chess.Board(), chess.engine.Limit
    info = engine.analyse(board, limit(depth=3))
    check(info.get("depth") == 3, f"analyse to depth 3 gave {info.get('depth')}")
    check("wdl" not in info, f"chances shown before UCI_ShowWDL: {info.get('wdl')}")
    # A game move after the analysis: its clock, not the analysis depth, limits it.
    played = engine.play(board, limit(white_clock=10, black_clock=10), info=chess.engine.INFO_BASIC)
    check(played.info.get("depth", 0) > 3, f"play after analyse reached {played.info.get('depth')}")
    listed = [chess.Move.from_uci("a2a3"), chess.Move.from_uci("b2b3")]
    info = engine.analyse(board, limit(depth=6), root_moves=listed)
    check(info.get("pv", [None])[0] in listed, f"root_moves analysis line {info.get('pv')}")
    played = engine.play(chess.Board(WAC_1), limit(mate=2))
    check(played.move == chess.Move.from_uci("g3g6"), f"mate 2 played {played.move}")

    seen = {name: option.type for name, option in engine.options.items()}
    check(seen == OPTION_TYPES, f"options as parsed: {seen}")
    hash_option = engine.options["Hash"]
    check((hash_option.default, hash_option.min) == (64, 0), f"Hash reads as {hash_option}")
    check(engine.options["UCI_ShowWDL"].default is False, "UCI_ShowWDL is not off by default")
    engine.configure({"Hash": 16, "Contempt": 10, "UCI_ShowWDL": True})

    # Each line has its own aspiration window after the lines before it, so
    # a later line may score a little above an earlier one; what a client
    # needs is three different first moves, every line from the last depth.
    lines = engine.analyse(board, limit(depth=8), multipv=3)
    firsts = {line["pv"][0] for line in lines if line.get("pv")}
    depths = [line.get("depth") for line in lines]
    check(len(firsts) == 3 and depths == [8, 8, 8], f"MultiPV 3 gave first moves {firsts} at depths {depths}")
    totals = [line["wdl"].relative.total() if "wdl" in line else None for line in lines]
    check(totals == [1000] * 3, f"MultiPV 3 chances add up to {totals}")
    wdl = engine.analyse(chess.Board(WAC_1), limit(depth=5)).get("wdl")
    check(wdl is not None and wdl.white() == chess.engine.Wdl(1000, 0, 0), f"White's mate shows as {wdl}")

    # A short game against itself with pondering on: python-chess sends
    # "go ponder" after each move and "ponderhit" or "stop" as the game goes.
    clock = limit(white_clock=5, black_clock=5, white_inc=0.05, black_inc=0.05)
    while not board.is_game_over() and board.ply() < 40:
        move = engine.play(board, clock, ponder=True).move
        if move not in board.legal_moves:
            return check(False, f"illegal or no move {move} at ply {board.ply()}")
        board.push(move)


if __name__ == "__main__":
    with chess.engine.SimpleEngine.popen_uci(sys.argv[1], timeout=60) as engine:
        run(engine)
    print("\n".join(failures))
    sys.exit(1 if failures else 0)
