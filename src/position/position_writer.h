// position/position_writer.h: the writable names behind the position's const views.
// Included only by the position module's own sources (and tests that build impossible
// records or force a key on purpose); everyone else reads position/position.h.
#pragma once

#include "position/position.h"

extern Position     position_record;
extern HistoryEntry history_record[HISTORY_CAPACITY];
extern int          search_ply_record;
