#pragma once
#include <string>

#include "road_fixture.h"

// A road test whose data root holds a small road_segs.def: two road surfaces, one sidewalk, the
// terrains grass, sand and rock, three transition shaders and the blends grass-sand and rock-sand.
class seg_test_t : public road_test_t {
protected:
    void write_road_segs(const std::string& body) { write_data_file("defs/seg_server/road_segs.def", body); }

    void write_sample_road_segs()
    {
        write_road_segs(R"(road_segs {
    road_shader_count = 2
    road_shader0 = /shaders/road/asphalt.shd
    road_shader1 = /shaders/road/gravel.shd
    sidewalk_count = 1
    sidewalk0 = /shaders/road/pavement.shd
    terrain_shader_count = 3
    terrain_shader0 = /shaders/terrain/grass.shd
    terrain_shader1 = /shaders/terrain/sand.shd
    terrain_shader2 = /shaders/terrain/rock.shd
    trans_shader_count = 3
    trans_shader0 = /shaders/trans/gravel_rock.shd
    trans_shader1 = /shaders/trans/asphalt_grass.shd
    trans_shader2 = /shaders/trans/asphalt_grass_wet.shd
    ter_trans_count = 2
    ter_trans_prefix = /shaders/blend/
    tt0 = "grass;sand"
    tt1 = "rock;sand"
})");
    }
};

// A resource kind for ".shd" names, so that the shaders the server takes hold counted cache handles
// that can be seen and must all be given back.
class seg_counted_shaders_t {
public:
    seg_counted_shaders_t();
    ~seg_counted_shaders_t();
    seg_counted_shaders_t(const seg_counted_shaders_t&) = delete;
    seg_counted_shaders_t& operator=(const seg_counted_shaders_t&) = delete;

    // References held on the shader `path` (0 when it was never taken).
    static int32_t refs(const char* path);

private:
    int handle_ = 0;
};
