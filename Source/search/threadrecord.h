// Making, resetting and freeing the per-thread search record. Freeing
// lives here, above the evaluation, because the record owns the network's
// working memory.
#pragma once

struct SearchThread;

// Allocates a zero-filled record whose position points back at it and whose
// ply-0 and ply-1 lists are set up empty; nullptr when memory is short.
SearchThread* new_search_thread();
// Frees the record and the network working memory it owns.
void free_search_thread(SearchThread* t);
// Empty, terminated lists for ply 0 (the all-zero first buffer entry) and
// ply 1, and the ply counter back to 1.
void reset_ply_lists(SearchThread* t);
