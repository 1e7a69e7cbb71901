#pragma once
#include <cstdint>

class economy_ctrl_e;
struct company_t;

// The opponents' company AI: one opponent a frame, in turn, comes to know the drivers its lead driver
// meets, hires a known driver when it has money to spare and, on levels 1 and 2, sends its drivers to a
// city another company holds. How fast an opponent grows is the difficulty level's.
class economy_company_ai_t {
public:
    explicit economy_company_ai_t(economy_ctrl_e& economy) : economy_(economy) {}
    economy_company_ai_t(const economy_company_ai_t&) = delete;
    economy_company_ai_t& operator=(const economy_company_ai_t&) = delete;

    // The money an opponent must have before it hires and the seconds between its looks, for
    // difficulty `level` (0 to 2; any other level changes nothing).
    void set_level(int32_t level);
    // Steps the next opponent.
    void step();
    // The opponent stepped last (1 to 3; 0 before the first step).
    int32_t last_stepped() const { return cursor_; }

private:
    // Every ten seconds the lead driver, near a city, may make one free driver he meets known.
    void meet_drivers(company_t& company, int32_t c, float dt);
    // Each expansion period an opponent with money over the threshold hires the first driver it may.
    void expand(company_t& company, int32_t c, float dt);
    // An opponent that holds its target city picks another and turns its drivers there.
    void aim_at_another_city(company_t& company, int32_t c);

    economy_ctrl_e& economy_;
    int32_t cursor_ = 0;
    int32_t expansion_threshold_ = 200000;
    float expansion_period_ = 300.0f;
};
