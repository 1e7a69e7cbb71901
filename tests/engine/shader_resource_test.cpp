#include "engine/shader_resource.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cache.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"

namespace {

using shader_resource_test = engine_test_t;

TEST_F(shader_resource_test, a_shader_file_gives_its_texture_size_through_the_cache)
{
    write_data_file("shaders/frame.shd", "// a frame corner\ntexture 32 0x10\n");
    write_data_file("shaders/plain.shd", "");
    c_item_t* const item = mm_precache("/shaders/frame.shd");
    ASSERT_NE(item, nullptr);
    const auto* shader = static_cast<const shader_resource_t*>(item->object);
    ASSERT_NE(shader, nullptr);
    EXPECT_TRUE(shader->has_texture);
    EXPECT_EQ(shader->width, 32);
    EXPECT_EQ(shader->height, 16);
    EXPECT_EQ(mm_precache("shaders/frame.shd"), item) << "one item per shader";
    ci_dec_refs(item);
    ci_dec_refs(item);

    c_item_t* const plain = mm_precache("/shaders/plain.shd");
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(static_cast<const shader_resource_t*>(plain->object)->has_texture);
    ci_dec_refs(plain);
}

TEST_F(shader_resource_test, a_missing_or_bad_shader_file_gives_no_item_and_one_error)
{
    const struct {
        const char* text;
        const char* message;  // part of the error line; null for a missing file
    } cases[] = {
        {nullptr, nullptr},
        {"texture 32", "expected a texture size"},
        {"texture 0 8", "bad texture size \"0\""},
        {"texture 8 70000", "bad texture size \"70000\""},
        {"texture 8 8.5", "bad texture size \"8.5\""},
        {"texture 8 8 texture 4 4", "texture given twice"},
        {"blend add", "unknown shader key \"blend\""},
        {"\"texture\" 8 8", "unknown shader key \"texture\""},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::string name = "shaders/bad" + std::to_string(index++) + ".shd";
        SCOPED_TRACE(name);
        if (c.text)
            write_data_file(name, c.text);
        log_clear_capture();
        EXPECT_EQ(mm_precache(("/" + name).c_str()), nullptr);
        if (c.message)
            EXPECT_EQ(engine_log_matching(c.message).size(), 1u);
        else
            EXPECT_FALSE(engine_log_matching(name.c_str()).empty());
    }
}

}  // namespace
