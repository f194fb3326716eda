// Shared set-up for the hand-crafted evaluation tests: tables, keys, the
// built-in parameters and the king-and-pawn table, built once; a private
// search record per test; helpers to set positions and flip colours.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/zobrist.h"
#include "eval/evalinfo.h"
#include "eval/hce.h"
#include "eval/kpk.h"
#include "eval/params.h"
#include "search/searchthread.h"

inline std::string hce_data_path(const std::string& rel) { return std::string(ZERV_DATA_DIR) + "/" + rel; }

// The same position seen from the other side: board mirrored top to
// bottom, colours and side to move swapped, castling and en passant along.
std::string flip_fen(const std::string& fen);

// FEN fields of every line of the EPD files under epd/.
std::vector<std::string> epd_positions();

// Lines printed to standard output while `action` runs.
template <class F>
std::vector<std::string> captured_lines(F action) {
  testing::internal::CaptureStdout();
  action();
  std::string text = testing::internal::GetCapturedStdout();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  return lines;
}

class HceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override {
    t = new_search_thread();
    ASSERT_NE(t, nullptr);
  }
  void TearDown() override { free_search_thread(t); }
  Position& set(const std::string& fen) {
    set_position(t->pos, fen.c_str());
    return t->pos;
  }
  // Evaluation of `fen` from its side to move at the root (never cached).
  int eval_root(const std::string& fen) {
    set(fen);
    return hce_evaluate(t, t->pos.side, 1, 0);
  }
  SearchThread* t = nullptr;
};
