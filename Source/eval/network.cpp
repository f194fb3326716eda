#include "network.h"

#include <cstdlib>

void free_net_workspace(NetWorkspace* w) { std::free(w); }
