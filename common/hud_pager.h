#pragma once

// The main HUD as the player's truck reaches it (window "mainhud" of the bridge): the pager's lines and
// the trailer-lost notice. The HUD's handler implements it.
class hud_pager_t {
public:
    virtual ~hud_pager_t() = default;
    // Shows a new pager line.
    virtual void push_message(const char* text) = 0;
    // Starts the trailer-lost notice.
    virtual void start_notice() = 0;
};
