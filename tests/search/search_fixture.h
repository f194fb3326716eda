// Shared set-up for the search tests: tables, evaluation and one search
// record per test; the node search is driven directly from ply 1, the way
// the root driver drives it from ply 2.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "board/types.h"
#include "frontend/control.h"
#include "frontend/options.h"
#include "search/searchthread.h"

class SearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Sets up the position as the root: ply 1, fresh ordering tables, no
  // game history.
  Position& set(const char* fen);
  // Plays a move given as text (any form the move parser reads) on the
  // search record, one ply deeper; false if it is not legal.
  bool play(const char* text);
  // Makes the current position the root again after moves were played:
  // they become game history.
  void make_root();
  Move parse(const char* text);
  // search() at the record's current ply with the given window.
  int search_here(int depth, int alpha, int beta, int nodeType = NODE_PV);
  int search_root(int depth);
  // Depth 1, 2, .. depth from the root, as iterative deepening would; the
  // score of the last iteration.
  int deepen(int depth);

  SearchThread* t = nullptr;
  Move pv[MAX_PLY] = {};

 private:
  EngineOptions savedOptions;
  struct {
    uint8_t useNN, ttInUse, rootSide;
    float targetTime, targetNps, calibrationNps;
    int traceDepth;
    uint64_t traceTag;
  } saved;
};
