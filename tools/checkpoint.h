// The trainer's full state on disk, so a run of many hours survives a
// stopped machine and continues exactly where it was: the float values
// (the network file holds them only in 16-bit steps), Adam's moments and
// step count, and where in which epoch the run stood.
#pragma once

#include "nettrain.h"

struct TrainProgress {
  int epoch = 1;             // the epoch under way, from 1
  long long window = 0;      // windows of that epoch already trained
  long long dataRecords = 0; // size of the training data, to refuse other data
  double lr = 0;             // learning rate of the epoch under way
};

bool save_checkpoint(const char* path, const Model& m, const Adam& a, const TrainProgress& p);
// False (and nothing changed) when the file is missing, damaged or made
// for a network of another shape.
bool load_checkpoint(const char* path, Model& m, Adam& a, TrainProgress& p);
