"""The engine driven through the python-chess engine API, as analysis tools
and match scripts drive it. Usage: python_client.py ENGINE_BINARY.
Prints one line per failed check and exits with status 1 if any failed."""
import sys

import chess
import chess.engine

WAC_1 = "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - -"


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

    for text in failures:
        print(text)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
