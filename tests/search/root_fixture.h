// Shared set-up for the root search, thread and time tests: the game
// record, the evaluation and a small transposition table built once; the
// search settings saved and restored around each test, so the tests leave
// the global records as they found them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/types.h"
#include "frontend/control.h"
#include "frontend/options.h"

class RootSearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The game position, from FEN, then the moves in coordinate text.
  void set(const char* fen, const std::vector<const char*>& moves = {});
  // A move of the game position in any text the move parser reads.
  Move parse(const char* text);
  // The legal moves of the game position.
  std::vector<Move> legal_moves();
  // The search start and the whole search on this thread, to `depth`, the
  // table cleared first; what it printed is kept in `lines`.
  void search_to(int depth);
  // Starts the search on its own threads and waits until it has finished,
  // running the main loop's time check meanwhile.
  void search_threaded(int depth, int threads);
  std::vector<std::string> captured(void (*action)());

  std::vector<std::string> lines;

 private:
  EngineOptions savedOptions;
  SearchLimits savedLimits;
  struct {
    float noise, targetNps, calibrationNps, targetTime;
    uint16_t uciMode;
    uint8_t activeThreads, useNN, ttInUse, chess960;
    int traceDepth;
    uint64_t traceTag;
  } saved;
};

std::vector<std::string> split_lines(const std::string& text);
