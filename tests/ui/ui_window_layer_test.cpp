#include "ui/components/ui_window_layer.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/cache.h"
#include "common/c_item_ops.h"
#include "ui_fixture.h"

namespace {

std::vector<int> layer_keys(const ui_window_t* window)
{
    std::vector<int> keys;
    for (const ui_layer_entry_t& entry : window->layer_buffers)
        keys.push_back(entry.key);
    return keys;
}

class ui_window_layer_test : public ui_test_t {};

TEST_F(ui_window_layer_test, entries_are_created_on_request_in_key_order_with_their_flags)
{
    ui_window_t window;
    EXPECT_EQ(ui_window_layer_buffer(&window, 3, false), nullptr);
    EXPECT_EQ(ui_window_layer_buffer(nullptr, 3, true), nullptr);
    for (const int key : {5, -2, 3, 9, 3})
        ASSERT_NE(ui_window_layer_buffer(&window, key, true), nullptr);
    EXPECT_EQ(layer_keys(&window), (std::vector<int>{-2, 3, 5, 9}));
    ui_layer_entry_t* const entry = ui_window_layer_buffer(&window, 3, false);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->key, 3);
    EXPECT_TRUE(entry->rebuild);
    EXPECT_TRUE(entry->created);
    EXPECT_EQ(entry->word, 0u);
}

TEST_F(ui_window_layer_test, invalidation_marks_every_layer_or_only_the_layer_of_a_markup_view)
{
    ui_window_t window;
    for (const int key : {0, 1, 2})
        ui_window_layer_buffer(&window, key, true)->rebuild = false;
    ui_view_t markup_view;
    markup_view.class_flags |= ui_class_markup;
    markup_view.layer = 1;
    ui_view_t plain_view;
    plain_view.layer = 2;
    ui_view_t unlayered_view;
    unlayered_view.class_flags |= ui_class_markup;
    unlayered_view.layer = 7;

    ui_window_invalidate_layer(&window, &plain_view);
    ui_window_invalidate_layer(&window, &unlayered_view);
    ui_window_invalidate_layer(&window, &markup_view);
    std::vector<bool> marks;
    for (const ui_layer_entry_t& entry : window.layer_buffers)
        marks.push_back(entry.rebuild);
    EXPECT_EQ(marks, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(layer_keys(&window), (std::vector<int>{0, 1, 2})) << "no entry is made for layer 7";

    ui_window_invalidate_layer(&window, nullptr);
    for (const ui_layer_entry_t& entry : window.layer_buffers)
        EXPECT_TRUE(entry.rebuild);
}

TEST_F(ui_window_layer_test, a_nested_view_finds_its_window_once_and_gives_every_lock_back)
{
    c_item_t* const window_item =
        make_window("    entity ui.comp.group { id = 1;\n"
                    "        entity ui.comp.group { id = 2; entity ui.comp.text { id = 3; } }\n"
                    "    }\n");
    ASSERT_NE(window_item, nullptr);
    ui_view_t* const view = ui_driver_find(window_item, 3);
    ASSERT_NE(view, nullptr);
    c_item_t* cached = nullptr;
    EXPECT_EQ(ui_view_find_window(view, cached), window_item);
    EXPECT_EQ(cached, window_item);
    for (c_item_t* item = view->item; item; item = item->parent)
        EXPECT_EQ(item->locks, 0);
    // Once cached, the walk is not made again.
    c_item_t* const other = view->item;
    c_item_t* kept = other;
    EXPECT_EQ(ui_view_find_window(view, kept), other);
}

TEST_F(ui_window_layer_test, a_view_outside_any_window_finds_none_and_looks_again_later)
{
    c_item_t* const window_item = make_window("");
    ASSERT_NE(window_item, nullptr);
    c_item_t* const spawned = ui_spawn_ci("ui.comp.text");
    ASSERT_NE(spawned, nullptr);
    auto* const view = static_cast<ui_view_t*>(spawned->object);
    c_item_t* cached = nullptr;
    EXPECT_EQ(ui_view_find_window(view, cached), nullptr);
    EXPECT_EQ(cached, nullptr);
    EXPECT_FALSE(ui_view_invalidate_layer(view, cached, true));

    ui_window_t* const window = ui_driver_window(window_item);
    ASSERT_TRUE(window->insert_view(view, nullptr));
    EXPECT_EQ(ui_view_find_window(view, cached), window_item);
    window->layer_buffers.clear();
    EXPECT_TRUE(ui_view_invalidate_layer(view, cached, false));
    EXPECT_TRUE(window->layer_buffers.empty()) << "a view going away makes no entry";
    EXPECT_TRUE(ui_view_invalidate_layer(view, cached, true));
    ASSERT_EQ(window->layer_buffers.size(), 1u);
    EXPECT_TRUE(window->layer_buffers.front().rebuild);
    EXPECT_EQ(window_item->locks, 0);
}

TEST_F(ui_window_layer_test, precaching_copies_the_markup_into_the_layer_and_clears_the_target)
{
    c_item_t* const window_item = make_window("    entity ui.comp.text { id = 3; layer = 4; }\n");
    ASSERT_NE(window_item, nullptr);
    ui_view_t* const view = ui_driver_find(window_item, 3);
    ui_window_t* const window = ui_driver_window(window_item);
    pml_buffer_t markup;
    pml_item_t item;
    item.id = 'A';
    ASSERT_TRUE(markup.push(item));
    c_item_t* cached = nullptr;
    ui_view_precache_markup(view, cached, markup);
    EXPECT_EQ(ui_window_layer_buffer(window, 4, false), nullptr) << "no entry: nothing copied, none made";
    ui_layer_entry_t* const entry = ui_window_layer_buffer(window, 4, true);
    ui_view_precache_markup(view, cached, markup);
    ASSERT_EQ(entry->buffer.items().size(), 1u);
    EXPECT_EQ(entry->buffer.items()[0].id, 'A');
    EXPECT_EQ(window->current_target, nullptr);
    EXPECT_EQ(window_item->locks, 0);
}

}  // namespace
