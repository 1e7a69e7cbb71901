#include "engine/frame.h"

#include "engine/clock.h"
#include "engine/command.h"
#include "engine/gfx_record.h"
#include "engine/input_queue.h"
#include "engine/pml_draw.h"
#include "engine/process.h"
#include "engine/snd_record.h"
#include "engine/ui.h"
#include "engine/ui_draw3d.h"

int engine_run_frame(double seconds)
{
    // What was drawn before the last frame shown is of no use to the painter or a test any more.
    pml_draw_drop_before(gfx_record_frames() - 1);
    ui_draw3d_drop_before(gfx_record_frames() - 1);
    sys_advance_frame(seconds);
    snd_record_advance(seconds);
    inp_run_frame(seconds);
    ui_dispatch_input_frame();
    cmd_execute_queued();
    return process_run_frame(seconds);
}
