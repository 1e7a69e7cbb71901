#include "common/engine_api.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

class seg_draw_test : public seg_test_t {
protected:
    seg_server_t server;
};

TEST_F(seg_draw_test, flares_fade_with_distance_and_lamps_shine_only_forwards)
{
    // A street light's flare at 20000 units is drawn at (6.25e8 - 4e8) * 2.5e-9 of full brightness.
    EXPECT_TRUE(server.draw_flare({}, {20000.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_EQ(server.flare_sprite.colour, 0xFF000000u + 143u * 0x010101u);
    EXPECT_FALSE(server.draw_flare({}, {25001.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_TRUE(server.draw_flare({}, {100.0f, 0.0f, 0.0f}, nullptr, false));
    EXPECT_EQ(server.flare_sprite.colour, 0xFFFFFFFFu);
    // A lamp placed 100 units behind the camera faces it with its +z side; turned about, it does not.
    const float ahead[3] = {0.0f, 0.0f, -100.0f};
    api::gfx_push();
    api::gfx_translate(ahead);
    EXPECT_TRUE(server.draw_flare({}, {0.0f, 0.0f, 100.0f}, nullptr, true));
    quat_t about;
    about.set({0.0f, 1.0f, 0.0f}, 180.0f);
    const float turn[4] = {about.x, about.y, about.z, about.w};
    api::gfx_qrotate(turn);
    EXPECT_FALSE(server.draw_flare({}, {0.0f, 0.0f, 100.0f}, nullptr, true));
    api::gfx_pop();
}

}  // namespace
