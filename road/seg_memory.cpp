#include "road/seg_memory.h"

#include "common/engine_api.h"

void seg_memory_report(const int bytes) { api::message("\\ysegment server memory usage : %d kB", bytes / 1024); }
