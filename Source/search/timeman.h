// Time for a move: the target set at the search start and the check that
// ends the search.
#pragma once

void compute_target_time();
// Updates the elapsed time and may set the stop flag.
void time_check();
