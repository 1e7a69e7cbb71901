#pragma once

// False only while the player's truck looks straight down on it (the top view): the player's camera
// sets it, a trailer's job label reads it to draw itself half transparent.
bool& trailer_view_flag();
