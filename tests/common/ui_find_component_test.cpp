#include "common/ui_find_component.h"

#include <gtest/gtest.h>

#include <new>

#include "engine/entity_reg.h"
#include "engine/ui.h"
#include "engine/ui_group.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/test_entity_type.h"
#include "common/engine_api.h"

namespace {

// A plain component.
class leaf_view_t : public ui_view_t {};

// A group that hands out only components with ids below 500.
class private_group_t : public ui_group_t {
public:
    bool public_component(const ui_view_t* view) const override { return view && view->id < 500; }
};

const entity_reg_t leaf_type = test_entity_type<leaf_view_t>("ui.comp.test_leaf");
const entity_reg_t private_type = test_entity_type<private_group_t>("ui.comp.test_private");

// Ids repeat on purpose: which match wins is the point of the tests.
constexpr const char* tree_script = R"(
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.test_private {
        id = 10;
        entity ui.comp.test_leaf { id = 100; }
        entity ui.comp.group {
            id = 20;
            entity ui.comp.test_leaf { id = 300; }
            entity ui.comp.test_leaf { id = 100; }
        }
        entity ui.comp.test_leaf { id = 300; }
        entity ui.comp.test_leaf { id = 600; }
    }
    entity ui.comp.test_leaf { id = 10; }
}
)";

class ui_find_component_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
        ui_init();
        for (const entity_reg_t* type : {&leaf_type, &private_type}) {
            if (!entity_find_type(type->type_name)) {
                ASSERT_TRUE(entity_register(type));
            }
        }
        write_data_file("ui/tree.esc", tree_script);
        c_item_t* item = ui_winsert("test", "tree", 0, "/ui/tree.esc", true);
        ASSERT_NE(item, nullptr);
        window_ = static_cast<ui_window_t*>(item->object);
        group10_ = static_cast<ui_group_t*>(window_->children.at(0));
        group20_ = static_cast<ui_group_t*>(group10_->children.at(1));
    }

    ui_window_t* window_ = nullptr;
    ui_group_t* group10_ = nullptr;
    ui_group_t* group20_ = nullptr;
};

TEST_F(ui_find_component_test, finds_its_own_id_first_then_depth_first_in_child_order)
{
    const struct {
        ui_view_t* start;
        int32_t id;
        ui_view_t* expected;
        const char* why;
    } cases[] = {
        {group10_, 10, group10_, "the group's own id wins over its children"},
        {window_, 10, group10_, "the nested group's own id is tested before a later sibling"},
        {window_, 100, group10_->children[0], "the first of two equal ids in child order"},
        {window_, 300, group20_->children[0], "a nested group is searched before the next sibling"},
        {group20_, 100, group20_->children[1], "a search may start at any group"},
        {window_, 12345, nullptr, "no match"},
    };
    for (const auto& c : cases) {
        c_item_t* found = ui_find_component(c.start, c.id, false);
        EXPECT_EQ(found, c.expected ? c.expected->item : nullptr) << c.why;
    }
    EXPECT_EQ(ui_find_component(nullptr, 10, false), nullptr);
}

TEST_F(ui_find_component_test, public_only_asks_the_searched_group_and_nested_groups_always_ask)
{
    ui_view_t* const leaf600 = group10_->children[3];
    EXPECT_EQ(ui_find_component(group10_, 600, false), leaf600->item) << "every component without the flag";
    EXPECT_EQ(ui_find_component(group10_, 600, true), nullptr) << "the group keeps it private";
    EXPECT_EQ(ui_find_component(group10_, 300, true), group20_->children[0]->item) << "public ones are handed out";
    EXPECT_EQ(ui_find_component(window_, 600, false), nullptr) << "the nested group is searched public-only";
}

TEST_F(ui_find_component_test, gives_back_every_use_it_takes)
{
    ui_find_component(window_, 600, false);
    ui_find_component(window_, 300, true);
    for (ui_view_t* view : group10_->children)
        EXPECT_EQ(view->item->locks, 0) << view->id;
    for (ui_view_t* view : group20_->children)
        EXPECT_EQ(view->item->locks, 0) << view->id;
}

}  // namespace
