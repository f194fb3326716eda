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


if __name__ == "__main__":
    with chess.engine.SimpleEngine.popen_uci(sys.argv[1], timeout=60) as engine:
        half_move_clock(engine, sys.argv[2])
        castling(engine)
    print("\n".join(failures))
    sys.exit(1 if failures else 0)
