#include "vehicles/player/cab_driver.h"

#include "common/engine_api.h"

void cab_driver_t::steer(float steering, float dt)
{
    driver.request(steering > turned ? "left" : steering < -turned ? "right" : "straight");
    driver.advance(dt);
}

void cab_driver_t::draw() const
{
    if (!driver.model())
        return;
    // The driver sits nearer the eye than anything of the world, which was drawn with planes far from
    // it: he is drawn over it.
    api::gfx_clear1(2, 0);
    api::gfx_push();
    const vec3_t wheel = wheel_from_eye;
    api::gfx_translate(&wheel.x);
    api::psm_draw(driver.model(), 1, 0xFFFFFFFFu);
    api::gfx_pop();
}
