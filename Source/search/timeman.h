// Time for a move: the target set at the search start and the check that
// ends the search.
#pragma once

// Seconds since the search start (Control.startTime), read from the clock.
float search_elapsed();
// Seconds the search has run: as search_elapsed while it runs, up to its
// end once the threads have finished (the time and node rate a report
// shows after a held answer).
float search_time_spent();
// Control.targetTime from the limits, the clock of the side to move, the
// game ply and the settings (Ponder, UCI_Elo, MoveOverhead).
void compute_target_time();
// Updates the elapsed time and may set the stop flag.
void time_check();
