#include <cstring>
#include <string>
#include <vector>

#include "engine/cache.h"
#include "road/prefab_file.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

// The bytes of a prefab model file, written record by record.
class prefab_bytes_t {
public:
    prefab_bytes_t& u32(const uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
        return *this;
    }
    prefab_bytes_t& f32(const float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    prefab_bytes_t& floats(const size_t count, const float value)
    {
        for (size_t i = 0; i < count; ++i)
            f32(value);
        return *this;
    }
    prefab_bytes_t& u16s(const std::vector<uint16_t>& values)
    {
        for (const uint16_t value : values) {
            bytes.push_back(static_cast<char>(value & 0xFF));
            bytes.push_back(static_cast<char>(value >> 8));
        }
        return *this;
    }
    prefab_bytes_t& name(const std::string& text, const size_t field)
    {
        std::string padded = text;
        padded.resize(field, '\0');
        bytes += padded;
        return *this;
    }
    // A render part of `vertices` vertices at (1, 2, 3) and the given indices.
    prefab_bytes_t& render_part(const std::string& part, const std::string& shader, const uint32_t vertices,
                                const std::vector<uint16_t>& indices)
    {
        name(part, 16).name(shader, 16).u32(vertices).u32(static_cast<uint32_t>(indices.size()));
        for (uint32_t v = 0; v < vertices; ++v)
            f32(static_cast<float>(v)).f32(2.0f).f32(3.0f);
        return floats(3 * vertices, 0.0f).floats(2 * vertices, 0.5f).u16s(indices);
    }
    prefab_bytes_t& coll_part(const uint32_t kind, const uint32_t vertices, const std::vector<uint16_t>& indices)
    {
        u32(vertices).u32(static_cast<uint32_t>(indices.size())).u32(kind).u32(0);
        return floats(3 * vertices, 1.0f).u16s(indices);
    }
    prefab_bytes_t& curve(const std::string& curve_name)
    {
        // One segment: start, start direction, end, end direction, length.
        return name(curve_name, 16).u32(1).floats(12, 1.0f).f32(600.0f);
    }
    std::string bytes;
};

// Header: version, nodes, parts, collision parts, curves, signs, points, docks, light places.
prefab_bytes_t header(const std::vector<uint32_t>& counts, const uint32_t version = 3)
{
    prefab_bytes_t out;
    out.u32(version);
    for (const uint32_t count : counts)
        out.u32(count);
    return out;
}

// A crossing: one road part, one collision part, four nodes, three curves, a sign, a point, a dock and
// one light place.
std::string crossing_file()
{
    prefab_bytes_t file = header({4, 1, 1, 3, 1, 1, 1, 1});
    file.render_part("surface", "road1", 3, {0, 1, 2}).coll_part(1, 3, {0, 1, 2});
    for (int node = 0; node < 4; ++node)
        file.f32(static_cast<float>(node)).f32(0.0f).f32(0.0f).floats(64, 7.0f);
    file.curve("straight").curve("Left").curve("right");
    file.name("sgn", 8).floats(3, 5.0f).floats(4, 0.5f);
    file.floats(3, 9.0f);
    for (uint32_t word = 0; word < 7; ++word)
        file.u32(word);
    file.floats(3, 4.0f).floats(4, 0.25f);
    return file.bytes;
}

class prefab_read_test : public seg_test_t {
protected:
    // Reads `bytes` as /prefabs/cross.pmd with `definition` beside it.
    size_t read(const std::string& bytes, const std::string& definition, prefab_t& out)
    {
        write_data_file("prefabs/cross.pmd", bytes);
        if (!definition.empty())
            write_data_file("prefabs/cross.def", definition);
        return server.read_prefab_model(out, "/prefabs/cross.pmd");
    }

    seg_counted_shaders_t shaders;
    seg_server_t server;
};

TEST_F(prefab_read_test, a_crossing_reads_its_file_and_its_definition)
{
    prefab_t prefab;
    ASSERT_GT(read(crossing_file(), R"(cross {
    curve_count = 3
    curve { name = STRAIGHT next = "left;right" output = "2;3" out_lanes = "1;3" type = out2 priority = 1 blinker = Left }
    curve { name = left type = stop truck_dock = yes }
    curve { name = nowhere }
    node_count = 2
    node0 = "0:straight;0:left;1:right"
    node1 = "3:left"
    sign_count = 1
    sign { name = SGN model_id = 2 dest0 = 4 arrow0 = 3 }
    gas_station0 = "1 2 3"
    service_station0 = "4 5 6"
    noweather00 = "1 1 1"
})",
                   prefab),
              0u);
    EXPECT_STREQ(prefab.name, "/prefabs/cross.pmd");
    ASSERT_EQ(prefab.parts.size(), 1u);
    EXPECT_EQ(prefab.parts[0].shader_slot, 9);
    EXPECT_EQ(prefab.parts[0].size, 32 * 3 + 2 * 3);
    EXPECT_EQ(prefab.parts[0].centre, vec3_t(1.0f, 2.0f, 3.0f));
    EXPECT_FLOAT_EQ(prefab.parts[0].radius, 1.0f);
    ASSERT_EQ(prefab.coll_parts.size(), 1u);
    EXPECT_EQ(prefab.coll_parts[0].kind, 4);
    ASSERT_EQ(prefab.nodes.size(), 4u);
    EXPECT_EQ(prefab.nodes[3].position, vec3_t(3.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(prefab.nodes[3].terrain_heights[1][31], 7.0f);
    ASSERT_EQ(prefab.curves.size(), 3u);
    const prefab_curve_t& straight = prefab.curves[0];
    EXPECT_EQ(straight.type, 2);
    EXPECT_EQ(straight.next_count, 2);
    EXPECT_EQ(straight.next[0], 1);
    EXPECT_EQ(straight.next[1], 2);
    EXPECT_EQ(straight.next[2], -1);
    EXPECT_EQ(straight.exit_arms[2] + straight.exit_arms[3], 2);
    EXPECT_EQ(straight.lane_masks[3], 3);
    EXPECT_EQ(straight.flags, prefab_curve_priority | prefab_curve_left_blinker);
    EXPECT_FLOAT_EQ(straight.segments[0].length, 600.0f);
    EXPECT_EQ(prefab.curves[1].type, prefab_curve_stop);
    EXPECT_EQ(prefab.curves[1].flags, prefab_curve_truck_dock);
    EXPECT_EQ(prefab.curves[2].type, prefab_curve_plain);
    EXPECT_EQ(engine_log_matching("curve name nowhere, doesn't exist in prefab /prefabs/cross.pmd").size(), 1u);
    EXPECT_EQ(prefab.nodes[0].slots[0][0], 0);
    EXPECT_EQ(prefab.nodes[0].slots[0][1], 1);
    EXPECT_EQ(prefab.nodes[0].slots[1][0], 2);
    EXPECT_EQ(prefab.nodes[1].slots[3][0], 1);
    EXPECT_EQ(prefab.nodes[2].slots[0][0], -1);
    ASSERT_EQ(prefab.signs.size(), 1u);
    EXPECT_EQ(prefab.signs[0].model_id, 2);
    EXPECT_EQ(prefab.signs[0].destinations[0], 4);
    EXPECT_EQ(prefab.signs[0].arrows[0], 2);
    EXPECT_EQ(prefab.points, std::vector<vec3_t>{vec3_t(9.0f, 9.0f, 9.0f)});
    ASSERT_EQ(prefab.docks.size(), 1u);
    EXPECT_EQ(prefab.docks[0][6], 6u);
    ASSERT_EQ(prefab.light_places.size(), 1u);
    EXPECT_EQ(prefab.light_places[0].position, vec3_t(4.0f, 4.0f, 4.0f));
    // A gas station in slot 0, a service station in slot 1, and so no no-weather boxes.
    EXPECT_EQ(prefab.stations[0].kind, 1);
    EXPECT_EQ(prefab.stations[0].point_a, vec3_t(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(prefab.stations[1].kind, 2);
    EXPECT_EQ(prefab.noweather[0][0], vec3_t());
}

TEST_F(prefab_read_test, station_keys_take_the_first_kind_present)
{
    prefab_t prefab;
    ASSERT_GT(read(crossing_file(), R"(cross {
    gas_station0 = "1 2 3"
    truck_stop = "7 8 9"
})",
                   prefab),
              0u);
    EXPECT_EQ(prefab.stations[0].kind, 3);
    EXPECT_EQ(prefab.stations[0].point_a, vec3_t(7.0f, 8.0f, 9.0f));
    ASSERT_GT(read(crossing_file(), "cross {\n noweather00 = \"1 2 3\"\n noweather12 = \"4 5 6\"\n}", prefab), 0u);
    EXPECT_EQ(prefab.stations[0].kind, 0);
    EXPECT_EQ(prefab.noweather[0][0], vec3_t(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(prefab.noweather[2][1], vec3_t(4.0f, 5.0f, 6.0f));
}

TEST_F(prefab_read_test, definitions_naming_more_than_there_is_room_for_are_refused_in_part)
{
    prefab_t prefab;
    std::string next;
    for (int i = 0; i < 9; ++i)
        next += std::string(i ? ";" : "") + "left";
    ASSERT_GT(read(crossing_file(),
                   "cross {\n curve_count = 40\n curve { name = straight next = \"" + next +
                       "\" output = \"7\" }\n node_count = 9\n"
                       " node0 = \"0:left;0:left;0:left;0:right;5:left;0-\"\n}",
                   prefab),
              0u);
    EXPECT_EQ(prefab.curves[0].next_count, 8);
    EXPECT_EQ(std::count(std::begin(prefab.curves[0].exit_arms), std::end(prefab.curves[0].exit_arms), 1), 0);
    EXPECT_EQ(prefab.nodes[0].slots[0][2], 1);
    EXPECT_FALSE(engine_log_matching("holds three curves already").empty());
    EXPECT_FALSE(engine_log_matching("not a slot 0 to 3 and a curve").empty());
    EXPECT_FALSE(engine_log_matching("\"curve_count\" is 40 but the prefab has 3 curves").empty());
    EXPECT_FALSE(engine_log_matching("\"node_count\" is 9 but the prefab has 4 nodes").empty());
    EXPECT_FALSE(engine_log_matching("only the first 8 are kept").empty());
}

TEST_F(prefab_read_test, files_whose_counts_or_indices_do_not_fit_are_refused)
{
    const std::string good = crossing_file();
    struct refused_t {
        const char* what;
        std::string bytes;
        const char* message;
    };
    const std::vector<refused_t> cases = {
        {"missing", "", "Cannot open /prefabs/cross.pmd."},
        {"version 2", header({0, 0, 0, 0, 0, 0, 0, 0}, 2).bytes, "Incorrect prefab version (/prefabs/cross.pmd)"},
        {"truncated", good.substr(0, good.size() - 1), "do not fit the file"},
        {"huge part count", header({0, 0xFFFFFFFFu, 0, 0, 0, 0, 0, 0}).bytes, "do not fit the file"},
        {"short header", header({0, 0}).bytes, "too short to hold its header"},
        {"index past the vertices", header({0, 1, 0, 0, 0, 0, 0, 0}).render_part("p", "road0", 3, {0, 1, 3}).bytes,
         "has index 3 past its 3 vertices"},
        {"curve without segments", header({0, 0, 0, 1, 0, 0, 0, 0}).name("c", 16).u32(0).bytes, "has no segments"},
    };
    for (const refused_t& c : cases) {
        SCOPED_TRACE(c.what);
        log_clear_capture();
        prefab_t prefab;
        if (c.bytes.empty())
            EXPECT_EQ(server.read_prefab_model(prefab, "/prefabs/cross.pmd"), 0u);
        else
            EXPECT_EQ(read(c.bytes, "", prefab), 0u);
        EXPECT_TRUE(prefab.parts.empty() && prefab.curves.empty() && prefab.nodes.empty());
        EXPECT_FALSE(engine_log_matching(c.message).empty());
    }
}

TEST_F(prefab_read_test, parts_past_the_sixty_four_kilobyte_buffer_are_reported_and_read)
{
    std::vector<uint16_t> thousand(1000, 0), seven_fifty(750, 0), thirty(30, 0);
    prefab_t prefab;
    ASSERT_GT(read(header({0, 2, 1, 0, 0, 0, 0, 0})
                       .render_part("big", "terrain0", 2000, thousand)
                       .render_part("fits", "terrain1", 2000, seven_fifty)
                       .coll_part(9, 5450, thirty)
                       .bytes,
                   "", prefab),
              0u);
    EXPECT_EQ(prefab.parts[0].size, 66000);
    EXPECT_EQ(prefab.parts[1].size, 65500);
    EXPECT_EQ(engine_log_matching("big part of /prefabs/cross.pmd prefab exceeds 64k boundary").size(), 1u);
    EXPECT_TRUE(engine_log_matching("fits part of").empty());
    EXPECT_EQ(prefab.coll_parts[0].size, 65500);
    EXPECT_EQ(engine_log_matching("collision part #0 of /prefabs/cross.pmd prefab exceeds 64k").size(), 1u);
    EXPECT_EQ(engine_log_matching("Wrong collision part type in part 0 of /prefabs/cross.pmd.").size(), 1u);
}

TEST_F(prefab_read_test, looks_shader_slots_and_curve_types_follow_their_names)
{
    prefab_look_t look;
    prefab_look_parse(look, "city|road1:3|misc0:7|tree2:4");
    EXPECT_STREQ(look.name, "city");
    for (int32_t slot = 0; slot < prefab_look_slots; ++slot)
        EXPECT_EQ(look.slots[slot], slot == 9 ? 3 : slot == 20 ? 7 : -1) << slot;
    EXPECT_EQ(engine_log_matching("tree2:4").size(), 1u);
    EXPECT_EQ(prefab_shader_slot("terrain3"), 3);
    EXPECT_EQ(prefab_shader_slot("railing0"), 16);
    EXPECT_EQ(prefab_shader_slot("road4"), -1);
    EXPECT_EQ(prefab_shader_slot("road"), -1);
    EXPECT_EQ(prefab_curve_type("out2"), 2);
    EXPECT_EQ(prefab_curve_type("switch"), prefab_curve_switch);
    EXPECT_EQ(prefab_curve_type("outx"), prefab_curve_plain);
    EXPECT_EQ(prefab_curve_type("stops"), prefab_curve_plain);
}

TEST_F(prefab_read_test, prefabs_def_loads_the_tables_with_their_fallbacks)
{
    write_data_file("prefabs/cross.pmd", crossing_file());
    write_data_file("models/lights.psm", R"(psm 1
bone red0 { matrix 1 0 0 10  0 1 0 20  0 0 1 30  0 0 0 1 }
bone yellow0 { }
bone green0 { }
bone red1 { }
part zcoll { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }
)");
    write_data_file("defs/seg_server/prefabs.def", R"(prefabs {
    fork_count = 1
    fork0 = /prefabs/missing.pmd
    cross_count = 1
    cross0 = /prefabs/cross.pmd
    prefab_look_count = 1
    prefab_look0 = "plain|road0:1"
    prefab_shader_count = 2
    prefab_shader0 = /shaders/prefab/asphalt.shd
    prefab_shader1 = "/shaders/prefab/lines.shd;alpha"
    tr_lights_count = 1
    tr_lights0 = "pole;/models/lights.psm;/shaders/lights/pole.shd"
    tr_lights_red = /shaders/lights/red.shd
})");
    EXPECT_EQ(server.prefab_part_shader(0, 0).shader.shader, nullptr);
    EXPECT_GT(server.read_prefabs(false), 0u);
    EXPECT_STREQ(server.prefab_table[seg_forks][0].name, "");
    EXPECT_EQ(server.prefab_table[seg_crosses][0].curves.size(), 3u);
    EXPECT_EQ(server.prefab_looks[0].slots[8], 1);
    ASSERT_EQ(server.prefab_shaders.count(), 2);
    EXPECT_EQ(server.prefab_shaders[-1].flag, 1);
    EXPECT_EQ(server.prefab_shaders[0].flag, 1);
    EXPECT_EQ(server.prefab_shaders[1].flag, 0);
    EXPECT_EQ(seg_counted_shaders_t::refs(seg_fallback_shader_path), 3);
    // A part whose shader matched no slot, a slot the look leaves unset or a look that does not exist
    // draws with the fallback.
    EXPECT_EQ(&server.prefab_part_shader(0, 8), &server.prefab_shaders[1]);
    EXPECT_EQ(&server.prefab_part_shader(0, -1), &server.prefab_shaders[-1]);
    EXPECT_EQ(&server.prefab_part_shader(0, 9), &server.prefab_shaders[-1]);
    EXPECT_EQ(&server.prefab_part_shader(3, 8), &server.prefab_shaders[-1]);
    const tr_lights_model_t& lights = server.tr_lights[0];
    EXPECT_STREQ(lights.name, "pole");
    EXPECT_EQ(lights.group_count, 2);
    EXPECT_EQ(lights.lamps[0][0], vec3_t(10.0f, 20.0f, 30.0f));
    EXPECT_EQ(lights.collision.index_count(), 3);
    server.unload();
    EXPECT_EQ(seg_counted_shaders_t::refs(seg_fallback_shader_path), 0);
}

}  // namespace
