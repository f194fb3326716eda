// The start-up measurement of the machine's speed that anchors the
// strength limit's ratings.
#pragma once

// Measures the machine's speed on a fixed position (35000 nodes, one
// thread, on the main thread) and sets the calibration speed and rating;
// prints "info string et= ..., calibration nps= ...".
void calibrate();
