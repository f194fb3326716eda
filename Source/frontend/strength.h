// The strength limit: a requested rating becomes a node rate the search
// must not exceed, anchored by a start-up measurement of the machine.
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
// Measures the machine's speed on a fixed position (35000 nodes, one
// thread, on the main thread) and sets the calibration speed and rating;
// prints "info string et= ..., calibration nps= ...".
void calibrate();
// At every search start: the target speed from UCI_Elo when the limit is
// on, else full speed (a rating above the machine's switches it off).
void apply_strength_limit();
