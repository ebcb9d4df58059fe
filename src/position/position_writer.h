// position/position_writer.h: marks the sources that write the position record, the
// history stack and search_ply (declared in position/position.h): the position module's
// own sources, and tests and benchmarks that build impossible records or force a key on
// purpose. Everyone else only reads them.
#pragma once

#include "position/position.h"

// The writable names of the calling thread's position, history stack and search_ply.
Position&     writable_position();
HistoryEntry* writable_history();
int&          writable_search_ply();
