"""The engine driven through the python-chess engine API, as analysis tools
and match scripts drive it. Usage: python_client.py ENGINE_BINARY.
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
}


def check_options(engine, check):
    seen = {name: option.type for name, option in engine.options.items()}
    check(seen == OPTION_TYPES, f"options as parsed: {seen}")
    hash_option = engine.options["Hash"]
    check((hash_option.default, hash_option.min) == (64, 0), f"Hash reads as {hash_option}")
    engine.configure({"Hash": 16, "Contempt": 10})


def play_game(engine, check):
    # A short game against itself with pondering on: python-chess sends
    # "go ponder" after each move and "ponderhit" or "stop" as the game goes.
    board = chess.Board()
    limit = chess.engine.Limit(white_clock=5, black_clock=5, white_inc=0.05, black_inc=0.05)
    while not board.is_game_over() and board.ply() < 40:
        result = engine.play(board, limit, ponder=True)
        if result.move is None or result.move not in board.legal_moves:
            check(False, f"illegal or no move {result.move} at ply {board.ply()}")
            return
        board.push(result.move)
    check(board.ply() >= 40 or board.is_game_over(), "game stopped early")


def main(binary):
    failures = []

    def check(ok, text):
        if not ok:
            failures.append(text)

    with chess.engine.SimpleEngine.popen_uci(binary, timeout=60) as engine:
        board = chess.Board()
        info = engine.analyse(board, chess.engine.Limit(depth=3))
        check(info.get("depth") == 3, f"analyse to depth 3 gave {info.get('depth')}")
        # A game move after the analysis: its clock, not the analysis depth, limits it.
        played = engine.play(board, chess.engine.Limit(white_clock=10, black_clock=10),
                             info=chess.engine.INFO_BASIC)
        check(played.info.get("depth", 0) > 3, f"play after analyse reached {played.info.get('depth')}")

        listed = [chess.Move.from_uci("a2a3"), chess.Move.from_uci("b2b3")]
        info = engine.analyse(board, chess.engine.Limit(depth=6), root_moves=listed)
        check(info.get("pv", [None])[0] in listed, f"root_moves analysis line {info.get('pv')}")

        played = engine.play(chess.Board(WAC_1), chess.engine.Limit(mate=2))
        check(played.move == chess.Move.from_uci("g3g6"), f"mate 2 played {played.move}")

        check_options(engine, check)
        lines = engine.analyse(board, chess.engine.Limit(depth=8), multipv=3)
        firsts = {line["pv"][0] for line in lines if line.get("pv")}
        check(len(lines) == 3 and len(firsts) == 3, f"MultiPV 3 gave {len(lines)} lines, {len(firsts)} first moves")
        # Each line is searched with its own aspiration window after the lines
        # before it, so a later line may score a few centipawns above an
        # earlier one; what a client needs is every line from the last depth.
        depths = [line.get("depth") for line in lines]
        check(depths == [8, 8, 8], f"MultiPV lines from depths {depths}")
        play_game(engine, check)

    for text in failures:
        print(text)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
