#pragma once
#include <cstdint>

struct c_item_t;

// The notebook window's handler as the game controller and the economy reach it: after showing the
// window they choose its page (the trucks page at a dealer, the competition page when the contest
// ends) and tell it the dealer the player stopped at.
class notebook_host_t {
public:
    // Pages of the notebook by index.
    static constexpr int32_t page_routes = 0;
    static constexpr int32_t page_trucks = 1;
    static constexpr int32_t page_economy = 2;
    static constexpr int32_t page_competition = 3;
    static constexpr int32_t page_roadmap = 4;

    virtual ~notebook_host_t() = default;
    // Shows page `page` (0 to 4) in place of the page shown; nothing when it shows already.
    virtual void show_page(int32_t page) = 0;
    // The dealer whose station the player stopped at (-1 none).
    virtual void set_dealer(int32_t dealer) = 0;
};

// The notebook host handling `window`, or null (no window, or another handler).
notebook_host_t* notebook_host(c_item_t* window);
