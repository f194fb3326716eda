#include "search/searchtrace.h"

#include <cstdio>
#include <cstdlib>

#include "board/fen.h"
#include "board/notation.h"
#include "core/output.h"
#include "core/searchthread.h"

namespace {

constexpr const char* TRACE_FILE_NAME = "trace.txt";
constexpr int INDENT_PER_PLY = 9;
constexpr int MOVE_TEXT_SIZE = 8;
constexpr const char* PIECE_LETTERS = " PNBRQK  pnbrqk";  // by piece code

// The trace file's writing position: the depth block and ply of the last
// entry decide the line breaks and indentation of the next one.
struct TraceFile {
  std::FILE* file;
  int lastDepth;  // iteration depth of the last entry, -1 before any
  int lastPly;
};
TraceFile Trace{nullptr, -1, 0};

void open_trace_file() {
  Trace.file = std::fopen(TRACE_FILE_NAME, "w");
  if (!Trace.file) std::exit(0);
}

void write_entry(SearchThread* t, int ply, Move m) {
  if (!Trace.file) open_trace_file();
  int depth = Control.mainDepth.load(std::memory_order_relaxed);
  if (depth != Trace.lastDepth) {
    std::fprintf(Trace.file, "\n\nSEARCH DEPTH= %d\n", depth);
    Trace.lastDepth = depth;
  }
  if (ply <= Trace.lastPly) {
    std::fputc('\n', Trace.file);
    for (int i = ROOT_PLY; i < ply; i++) std::fprintf(Trace.file, "%*s", INDENT_PER_PLY, "");
  }
  char text[MOVE_TEXT_SIZE];
  move_to_text(t->pos, t->pos.side, m, text);
  std::fprintf(Trace.file, "(%2d)%s ", t->plies[ply].depth, text);
  std::fflush(Trace.file);
  Trace.lastPly = ply;
}

const char* node_type_name(int nodeType) {
  return nodeType == NODE_PV ? "PV" : nodeType == NODE_CUT ? "CUT" : "ALL";
}

// The search position in the board display's form: FEN, diagram, side.
void print_search_board(const Position& pos) {
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, false);
  print_line(fen);
  for (int rank = 7; rank >= 0; rank--) {
    char row[24];
    int n = std::snprintf(row, sizeof row, " ");
    for (int file = 0; file < 8; file++) {
      int sq = make_square(file, rank), piece = pos.board[sq];
      char c = piece ? PIECE_LETTERS[piece] : ((file & 1) == (rank & 1) ? '+' : '-');
      n += std::snprintf(row + n, sizeof row - size_t(n), " %c", c);
    }
    print_line(row);
  }
  print_line(pos.side == WHITE ? "white" : "black");
}

}  // namespace

void trace_move(SearchThread* t, int ply, Move m) {
  if (t->index != 0 || ply > Control.traceDepth) return;
  write_entry(t, ply, m);
}

void trace_null_move(SearchThread* t, int ply) {
  if (t->index != 0) return;
  write_entry(t, ply, MOVE_NONE);
}

void trace_new_search() { Trace.lastDepth = -1; }

void trace_close() {
  if (Trace.file) std::fclose(Trace.file);
  Trace = TraceFile{nullptr, -1, 0};
}

void print_tagged_path(SearchThread* t, int ply) {
  print_line("ply depth alpha    beta    eval type   move  red");
  for (int i = ROOT_PLY; i < ply; i++) {
    const PlyRecord& pr = t->plies[i];
    char text[MOVE_TEXT_SIZE] = "";
    if (pr.currentMove)
      move_to_text(t->pos, (i - ROOT_PLY) & 1 ? BLACK : WHITE, pr.currentMove->move, text);
    print_linef("%2d. %3d  %6d  %6d  %6d  %3s  %5s  %3d", i, pr.depth, pr.alpha, pr.beta,
                pr.staticEval, node_type_name(pr.nodeType), text, pr.reduction);
  }
  print_search_board(t->pos);
  print_line("");
}
