#pragma once

// The console commands that reach the world's environment: "g_set_time HOURS" sets the time of day,
// "g_set_fov DEGREES" the field of view. Either does nothing without exactly one argument or without
// an environment in the world.
void g_set_time();
void g_set_fov();
