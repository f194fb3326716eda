// The user's settings: one record kept twice, the settings in force and
// the defaults the "uci" option list reports.
#pragma once

#include <cstdint>

constexpr int PATH_FIELD_SIZE = 144;       // configuration, book, tablebase paths
constexpr int FILE_NAME_FIELD_SIZE = 150;  // parameter and network files
constexpr int PERSONALITY_GROUPS = 13;     // evaluation groups with own weights
constexpr int PHASE_MG = 0;
constexpr int PHASE_EG = 1;

struct EngineOptions {
  int16_t paramsChanged;  // evaluation parameters must be rebuilt
  int32_t Hash;           // transposition table MB
  int16_t Threads;
  int16_t MoveOverhead;   // milliseconds kept back per move
  int16_t Ponder;
  int16_t MultiPV;
  int16_t UCI_LimitStrength;
  int16_t UCI_Elo;        // 0 until the calibrated rating fills it in
  int16_t Log;
  int16_t OwnBook;
  int16_t OwnBook_Variety;
  int16_t OwnBook_Depth;
  int16_t OwnBook2_Depth;
  int16_t evalNoise;      // small random term of the network evaluation
  char paramFile[FILE_NAME_FIELD_SIZE];
  char NN_File[FILE_NAME_FIELD_SIZE];
  char ConfigFilePath[PATH_FIELD_SIZE];
  char OwnBook_File[PATH_FIELD_SIZE];
  char OwnBook2_File[PATH_FIELD_SIZE];
  char SyzygyPath[PATH_FIELD_SIZE];
  int16_t SyzygyProbeDepth6;
  int16_t Contempt;
  int16_t contemptTaper;  // phase-scaled contempt, no option sets it
  int16_t Selectivity;    // percentage scale of the search's pruning
  int16_t SEP_depth;
  int16_t SEP_step;
  int16_t NMP_depth;
  int16_t FP_depth;
  int16_t FP_step;
  int16_t LMP_depth;
  int16_t LMP_step;
  int16_t LMR_depth;
  int16_t personality[PERSONALITY_GROUPS][2];  // mg and eg percentages
  int16_t UCI_ShowWDL;    // win/draw/loss chances after every shown score
};

extern EngineOptions Options;         // in force
extern EngineOptions OptionDefaults;  // reported as defaults

void set_default_options(EngineOptions& options);
