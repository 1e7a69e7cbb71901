#include "engine/frame.h"

#include "engine/clock.h"
#include "engine/command.h"
#include "engine/input_queue.h"
#include "engine/process.h"
#include "engine/snd_record.h"
#include "engine/ui.h"

int engine_run_frame(double seconds)
{
    sys_advance_frame(seconds);
    snd_record_advance(seconds);
    inp_run_frame(seconds);
    ui_dispatch_input_frame();
    cmd_execute_queued();
    return process_run_frame(seconds);
}
