// Shared set-up for the hand-crafted evaluation tests: the board tests'
// (tables, keys, a private search record per test, positions from FEN),
// and the built-in parameters and the king-and-pawn table, built once.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "eval/evalinfo.h"
#include "eval/hce.h"
#include "eval/kpk.h"
#include "eval/params.h"

// FEN fields of every line of the EPD files under epd/.
std::vector<std::string> epd_positions();

class HceTest : public BoardTest {
 protected:
  static void SetUpTestSuite();
  // Evaluation of `fen` from its side to move at the root (never cached).
  int eval_root(const std::string& fen) {
    set(fen);
    return hce_evaluate(t, t->pos.side, 1, 0);
  }
};
