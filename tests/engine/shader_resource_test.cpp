#include "engine/shader_resource.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cache.h"
#include "engine/gfx_render.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"

namespace {

using shader_resource_test = engine_test_t;

// The renderer's record of a shader, reached through the resource cache as views reach it.
gfx_shader_t cached_shader(const std::string& path)
{
    c_item_t* const item = mm_precache(path.c_str());
    EXPECT_NE(item, nullptr) << path;
    if (!item)
        return {};
    const gfx_shader_t shader = *static_cast<const gfx_shader_t*>(item->object);
    EXPECT_EQ(mm_precache(path.c_str()), item) << "one item per shader";
    ci_dec_refs(item);
    ci_dec_refs(item);
    return shader;
}

TEST_F(shader_resource_test, a_shader_file_gives_its_texture_size_through_the_cache)
{
    write_data_file("shaders/frame.shd", "// a frame corner\ntexture 32 0x10\n");
    write_data_file("shaders/plain.shd", "");
    const gfx_shader_t frame = cached_shader("/shaders/frame.shd");
    EXPECT_TRUE(frame.has_texture);
    EXPECT_EQ(frame.width, 32);
    EXPECT_EQ(frame.height, 16);
    for (const char* path : {"/shaders/plain.shd", "/shaders/missing.shd"}) {
        const gfx_shader_t shader = cached_shader(path);
        EXPECT_FALSE(shader.has_texture) << path;
        EXPECT_EQ(shader.width, 256) << path;
    }
}

TEST_F(shader_resource_test, a_bad_shader_file_is_reported_once_and_keeps_the_default_size)
{
    const struct {
        const char* text;
        const char* message;  // part of the error line
    } cases[] = {
        {"texture 32", "expected the texture height but the text ends"},
        {"texture 0 8", "the texture width 0 is outside 1 to 65536"},
        {"texture 8 70000", "the texture height 70000 is outside 1 to 65536"},
        {"texture 8 8.5", "the texture height \"8.5\" is no whole number"},
        {"texture 8 8 texture 4 4", "texture given twice"},
        {"blend add", "unknown shader key \"blend\""},
        {"\"texture\" 8 8", "unknown shader key \"texture\""},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::string name = "shaders/bad" + std::to_string(index++) + ".shd";
        SCOPED_TRACE(name);
        write_data_file(name, c.text);
        log_clear_capture();
        const gfx_shader_t shader = cached_shader("/" + name);
        EXPECT_FALSE(shader.has_texture);
        EXPECT_EQ(shader.width, 256);
        EXPECT_EQ(engine_log_matching(c.message).size(), 1u);
    }
}

}  // namespace
