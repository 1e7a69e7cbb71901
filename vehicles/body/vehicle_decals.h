#pragma once

// What the vehicles' ground decals share: the shadow's decal block, and how far above its centre a
// decal is shot down onto the ground (and as far below).
constexpr const char* vehicle_shadow_script = "/scripts/decals/shadow.esc";
constexpr float vehicle_decal_reach = 500.0f;
