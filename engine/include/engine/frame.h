#pragma once

// One engine frame of `seconds`, as the host and the tests run it: the records of what was drawn before
// the last frame shown are dropped, the clock and the playing sounds
// advance, the input queue applies the events due (engine/input_queue.h), queued console commands run,
// then the processes' handlers. Answers the number of processes still listed.
int engine_run_frame(double seconds);
