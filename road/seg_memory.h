#pragma once

// Reports the memory the segment server holds, `bytes`, on the console in whole kB (truncated).
void seg_memory_report(int bytes);
