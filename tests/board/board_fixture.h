// Shared set-up for board tests: tables built once, a private search
// record per test, and readers for the reference data files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/zobrist.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"

inline std::string data_path(const std::string& rel) { return std::string(ZERV_DATA_DIR) + "/" + rel; }

class BoardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    init_zobrist();
  }
  void SetUp() override { t = new_search_thread(); }
  void TearDown() override { free_search_thread(t); }
  Position& set(const std::string& fen) {
    set_position(t->pos, fen.c_str());
    return t->pos;
  }
  SearchThread* t = nullptr;
};

struct PerftCase {
  std::string name, fen;
  std::vector<std::pair<int, uint64_t>> counts;  // depth, leaves
};
std::vector<PerftCase> read_perft_file(const std::string& path);

// The fields of a reference file's line, split at '|' and trimmed.
std::vector<std::string> split_bars(const std::string& line);

struct SanCase {
  std::string fen, uci, san;
};
std::vector<SanCase> read_san_file(const std::string& path);

// Every legal move of the side to move (generated into the current ply).
std::vector<Move> legal_moves(Position& pos);
// The position's FEN, with the two counters when asked.
std::string fen_of(const Position& pos, bool counters = false);
// The same position seen from the other side: board mirrored top to
// bottom, colours and side to move swapped, castling and en passant along.
std::string flip_fen(const std::string& fen);
