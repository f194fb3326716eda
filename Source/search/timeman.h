// Time for a move: the target set at the search start and the check that
// ends the search.
#pragma once

// Seconds since the search start (Control.startTime), read from the clock.
float search_elapsed();
// Control.targetTime from the limits, the clock of the side to move, the
// game ply and the settings (Ponder, UCI_Elo, MoveOverhead).
void compute_target_time();
// Updates the elapsed time and may set the stop flag.
void time_check();
