#include "ui/components/menu_figure.h"

#include "common/engine_api.h"

void menu_figure_t::update(float dt)
{
    if (figure.is_in("up")) {
        figure.request("down");
    } else if (figure.is_in("down")) {
        resting += dt;
        if (resting >= rest) {
            resting = 0.0f;
            figure.request("up");
        }
    }
    figure.advance(dt);
}

void menu_figure_t::draw(const vec3_t& truck) const
{
    if (!figure.model())
        return;
    api::gfx_push();
    const vec3_t place = truck + from_truck;
    api::gfx_translate(&place.x);
    api::psm_draw(figure.model(), 1, 0xFFFFFFFFu);
    api::gfx_pop();
}
