#pragma once

// The console command "g_traffic_info": prints the counts of the current world's traffic. A world
// without traffic (the menu, the editor) prints nothing.
void g_traffic_info();
