// Shared set-up for the search tests. SearchTest drives the node search
// directly on a record of its own, from ply 1 the way the root driver
// drives it from ply 2; RootSearchTest runs the root driver on the game
// record with a small transposition table. Both save the settings they
// touch and restore them, so the tests leave the global records as they
// found them; SettingsGuard does the same for any other test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "../frontend/dialogue.h"
#include "core/types.h"
#include "core/control.h"
#include "core/options.h"
#include "core/searchthread.h"

// The option record and the control fields a search test may change, in
// the order of control_fields() in the fixture's source.
struct SavedSettings {
  EngineOptions options;
  std::tuple<SearchLimits, float, float, float, float, float, uint16_t, uint8_t, uint8_t, uint8_t, uint8_t, uint8_t,
             int, uint64_t>
      control;
};
SavedSettings save_settings();
void restore_settings(const SavedSettings& s);

// Saved while it lives: a member of a fixture restores the settings after
// each test.
struct SettingsGuard {
  SavedSettings saved = save_settings();
  ~SettingsGuard() { restore_settings(saved); }
};

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
  SavedSettings saved;
};

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

  std::vector<std::string> lines;

 private:
  SettingsGuard settings;  // restored after TearDown has freed the threads
};
