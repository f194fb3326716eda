// Start-up shared by the network tools: the engine's tables, default
// settings and evaluation parameters, with the evaluation noise off so
// every score a tool reads or writes is reproducible.
#pragma once

#include "board/bitboard.h"
#include "board/zobrist.h"
#include "core/control.h"
#include "core/options.h"
#include "eval/kpk.h"
#include "eval/params.h"

inline void setup_engine_for_tool() {
  init_board_tables();
  init_zobrist();
  set_default_options(Options);
  set_control_defaults(Control);
  Options.evalNoise = 0;
  setup_eval_params();
  init_kpk_table();
}
