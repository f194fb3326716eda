// Reading one stored value out of a compressed sub-table.
#pragma once

#include "syzygy/tbfile.h"

// The value at `index`: 0..4 for WDL sub-tables, the raw 12-bit number for
// DTZ sub-tables. False when the index or the data lead outside the
// sub-table (a damaged file).
bool tb_decode(const TbPairs& d, uint64_t index, bool dtz, int& value);
