// The strength limit: a requested rating becomes a node rate the search
// must not exceed, anchored by the start-up measurement of the machine
// (frontend/calibration.h).
#pragma once

// Lowest and highest node rates the rating search considers.
constexpr float STRENGTH_MIN_NPS = 10.0f;
constexpr float STRENGTH_MAX_NPS = 10000000.0f;

// The rating a node rate stands for: 150 * ln(nps) + 1128.
double elo_for_nps(double nps);
// The node rate of a rating, found by bisection in single precision to
// within half a rating point; a rating beyond what the interval reaches
// gives the interval's nearer edge.
float nps_for_elo(float elo);
// At every search start: the target speed from UCI_Elo when the limit is
// on, else full speed (a rating above the machine's switches it off).
void apply_strength_limit();
