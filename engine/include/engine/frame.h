#pragma once

// One engine frame of `seconds`, as the host and the tests run it: the clock and the sounds advance, queued console
// commands run, then the processes' handlers. Answers the number of processes still listed.
int engine_run_frame(double seconds);
