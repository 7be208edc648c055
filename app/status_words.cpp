#include "app/status_words.h"

int g_bSearchDone = 0;
int g_bSaveDone = 0;
uint32_t g_dwLastSearchTime = 0;
int g_nAsyncRows = 0;
int g_nSyncRows = 0;
int g_nTotalRows = 0;
