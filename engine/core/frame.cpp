#include "engine/frame.h"

#include "engine/clock.h"
#include "engine/command.h"
#include "engine/input_queue.h"
#include "engine/process.h"
#include "engine/snd_record.h"

int engine_run_frame(double seconds)
{
    sys_advance_frame(seconds);
    snd_record_advance(seconds);
    inp_run_frame(seconds);
    cmd_execute_queued();
    return process_run_frame(seconds);
}
