#include <gtest/gtest.h>

#include <string>

#include "engine/cache.h"
#include "engine/cipher.h"
#include "engine/def_pool.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "engine_testing/engine_test.h"

namespace {

using def_file_test = engine_test_t;

// The parsed pool of a cached definition item.
const def_pool_t* pool_of(const c_item_t* item) { return static_cast<const def_pool_t*>(item->object); }

TEST_F(def_file_test, definition_files_load_through_the_cache)
{
    write_data_file("defs/cars.def", "cars { car_count = 2 car0 = van car1 = \"\" }\n");
    c_item_t* item = mm_precache("/defs/cars.def");
    ASSERT_NE(item, nullptr);
    ASSERT_NE(pool_of(item), nullptr);
    const def_obj_t* cars = pool_of(item)->find("cars");
    ASSERT_NE(cars, nullptr);
    EXPECT_EQ(cars->get_int("car_count"), 2);
    EXPECT_STREQ(cars->get_value("car1"), "");
    EXPECT_EQ(mm_precache("defs/cars.def"), item);
    ci_dec_refs(item);
    ci_dec_refs(item);
    EXPECT_EQ(item->object, nullptr) << "the pool goes with the last use";
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(def_file_test, missing_or_bad_definition_files_give_null)
{
    log_clear_capture();
    EXPECT_EQ(mm_precache("/defs/absent.def"), nullptr);
    EXPECT_FALSE(engine_log_matching("/defs/absent.def").empty());
    write_data_file("defs/bad.def", "cars {\n car_count = 2\n");
    EXPECT_EQ(mm_precache("/defs/bad.def"), nullptr);
    EXPECT_TRUE(engine_log_has("/defs/bad.def:3: object 'cars' opened at line 1 is not closed"));
    c_item_t* mapped = mm_map("/defs/bad.def");
    ASSERT_NE(mapped, nullptr) << "mapping does not read the file";
    EXPECT_EQ(mapped->loader->make_resident(mapped), 0);
    ci_dec_refs(mapped);
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(def_file_test, written_then_enciphered_file_reads_back_through_the_cache)
{
    def_pool_t pool("/scores.def");
    def_obj_t* city = pool.new_object("north_harbour");
    pool.add_object(city);
    city->set_value("name0", "Ann; \"the fast\"");
    city->set_value("time0", "1234.5");
    const int file = vfs_open("/scores.def", 0x301, 0666);
    ASSERT_GE(file, 0);
    ASSERT_TRUE(pool.write_to(file));
    ASSERT_EQ(vfs_close(file), 0);

    const uint32_t key = cipher_key_gen(20240611u);
    EXPECT_EQ(key, cipher_key_gen(20240611u));
    EXPECT_NE(key, cipher_key_gen(20240612u));
    ASSERT_TRUE(cipher_file("/scores.def", key));
    std::string stored;
    ASSERT_TRUE(vfs_read_whole("/scores.def", stored));
    EXPECT_EQ(stored.compare(0, 8, "KAVCIPH1"), 0);
    EXPECT_EQ(stored.find("north_harbour"), std::string::npos) << "the text is hidden";
    EXPECT_FALSE(cipher_file("/scores.def", key)) << "enciphering twice is refused";

    c_item_t* item = mm_map("/scores.def");
    ASSERT_NE(item, nullptr);
    ASSERT_EQ(item->loader->make_resident(item), 1);
    EXPECT_EQ(pool_of(item)->to_text(), pool.to_text());
    ci_dec_refs(item);
}

TEST_F(def_file_test, cut_enciphered_files_fail_cleanly)
{
    std::string bytes = "a { b = 1 }";
    cipher_encode(bytes, cipher_key_gen(1));
    for (const size_t length : {size_t{8}, size_t{11}, bytes.size() - 1}) {
        write_data_file("cut.def", bytes.substr(0, length));
        log_clear_capture();
        EXPECT_EQ(def_pool_t::load("/cut.def"), nullptr) << length;
        EXPECT_FALSE(log_captured().empty()) << length;
    }
    write_data_file("whole.def", bytes);
    const auto whole = def_pool_t::load("/whole.def");
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->find("a")->get_int("b"), 1);
}

}  // namespace
