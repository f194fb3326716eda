// The built-in values of the evaluation parameters, kept apart from the
// registry code so that a tuner can rewrite them as one plain table.
#pragma once

// Entries of the parameter registry, one row each.
constexpr int PARAM_COUNT = 951;

struct ParamValue {
  const char* name;
  int mg;
  int eg;
};

// One row per registry entry, in registry order.
extern const ParamValue BuiltinParamValues[PARAM_COUNT];

// True when no row is missing (a short initialiser leaves nameless rows).
constexpr bool every_row_named(const ParamValue (&rows)[PARAM_COUNT]) {
  for (const ParamValue& row : rows)
    if (row.name == nullptr || row.name[0] == '\0') return false;
  return true;
}
