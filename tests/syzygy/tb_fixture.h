// Shared set-up for the tablebase tests: the board tests' (tables, a
// private search record, positions from FEN, whose halfmove clock the
// reference root decisions depend on), the shared 3- and 4-piece tables,
// and readers for the reference probe files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "syzygy/tbposition.h"

std::string tb_table_dir();

struct ProbeCase {
  std::string fen;
  int wdl, dtz;
};
std::vector<ProbeCase> read_probe_file();

struct RootCase {
  std::string fen;
  int code, absDtz;
  std::vector<std::string> moves;
};
std::vector<RootCase> read_root_file();

// Registers the shared tables once per suite (quietly).
class TbTest : public BoardTest {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  TbPosition tb(const std::string& fen) { return tb_position_from(set(fen)); }
};

// Runs tb_init with standard output captured; returns what it printed.
std::string init_captured(const std::string& paths);
