// The six process-wide status words through which the search and save operations tell the
// status dialog how far they are. Written and read on the user-interface thread only.
#pragma once

#include <cstdint>

extern int g_bSearchDone;            // the search operation has returned
extern int g_bSaveDone;              // the printer has confirmed the save
extern uint32_t g_dwLastSearchTime;  // millisecond clock at the last search activity
extern int g_nAsyncRows;             // rows from text-protocol replies
extern int g_nSyncRows;              // rows from the configuration-protocol search
extern int g_nTotalRows;             // rows of the last settled search
