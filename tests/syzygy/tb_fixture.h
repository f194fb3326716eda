// Shared set-up for the tablebase tests: board tables, the shared 3- and
// 4-piece tables, and readers for the reference probe files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/fen.h"
#include "search/searchthread.h"
#include "syzygy/tbposition.h"

std::string tb_data_path(const std::string& rel);
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
class TbTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;
  // The FEN reader puts the halfmove clock into `fifty`: the reference
  // root decisions depend on it.
  Position& set(const std::string& fen);
  TbPosition tb(const std::string& fen) { return tb_position_from(set(fen)); }
  SearchThread* t = nullptr;  // owns the position and its undo stack
};

// Runs tb_init with standard output captured; returns what it printed.
std::string init_captured(const std::string& paths);
