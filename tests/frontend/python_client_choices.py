"""The places where Zerv follows what clients expect (README, "Choices made
for clients"), driven through the python-chess engine API as analysis
scripts, lichess-bot and match tools drive an engine.
Usage: python_client_choices.py ENGINE_BINARY SYZYGY_DIR.
Prints one line per failed check and exits with status 1 if any failed."""
import sys

import chess
import chess.engine

failures = []


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


if __name__ == "__main__":
    with chess.engine.SimpleEngine.popen_uci(sys.argv[1], timeout=60) as engine:
        half_move_clock(engine, sys.argv[2])
    print("\n".join(failures))
    sys.exit(1 if failures else 0)
