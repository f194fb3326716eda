// Numbering of tablebase positions: the groups of a sub-table's piece
// list, their digit order, and the index of a placement of the pieces.
#pragma once

#include <cstdint>

#include "syzygy/tbposition.h"

// How the first group of a sub-table is numbered.
enum TbEncoding : uint8_t {
  ENC_THREE_UNIQUE,  // pawnless, three single pieces (kings included)
  ENC_TWO_KINGS,     // pawnless, only the kings are single
  ENC_PAWNS          // the leading pawns, then the other colour's pawns
};

// The index digits of one sub-table.
struct TbLayout {
  uint8_t pieces[TB_MAX_PIECES];  // file piece codes by slot
  uint8_t numPieces, numGroups;
  uint8_t encoding;
  uint8_t leadPawns, otherPawns;  // pawn tables only
  uint8_t groupStart[TB_MAX_PIECES], groupCount[TB_MAX_PIECES];
  uint64_t factor[TB_MAX_PIECES];
  uint64_t size;  // number of indices
};

// Sets up the layout from the slot codes and the digit order; `pawnClass`
// is the file class of the leading pawn (0 for pawnless tables). False for
// a piece list no table can have.
bool tb_build_layout(TbLayout& layout, const uint8_t* codes, int count, bool pawns, int order,
                     int order2, int pawnClass);

// Index of the squares sq[slot] (for pawn tables already rank-flipped when
// the colours are swapped, with the leading pawn in slot 0). The squares
// are transformed in place.
uint64_t tb_index(const TbLayout& layout, uint8_t* sq);

// File class of a pawn square and the order that picks the leading pawn.
int tb_pawn_class(int sq);
int tb_lead_rank(int sq);

uint64_t tb_binomial(int n, int k);
