#pragma once
#include <gtest/gtest.h>

#include "engine/win32_record.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"

// What control `id` of a running dialog shows (a failed expectation when it has none).
inline win32_control_t dialog_control(HWND dialog, int id)
{
    win32_control_t out{};
    EXPECT_TRUE(win32_dialog_control(dialog, id, out)) << "no control " << id;
    return out;
}

// A reset engine with the module's engine pointers bound, and an editor controller whose arrays,
// render slots and (empty) segment server exist, outside any world.
class editor_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        ASSERT_EQ(ctrl.init(-10), 0);
        ctrl.sub_mode = edit_sub_road;
    }
    void TearDown() override
    {
        ctrl.destroy(0);
        ctrl.destroy(10);
        engine_test_t::TearDown();
    }

    // A node at (x, 0, z).
    int32_t node(float x, float z) { return ctrl.add_node(vec3_t(x, 0.0f, z)); }
    // A Road (or, with `kind`, another road kind) from node `a` to node `b`.
    int32_t road(int32_t a, int32_t b, int32_t kind = map_edge_road)
    {
        ctrl.sub_mode = kind;
        return ctrl.create_edge(a, b);
    }

    edit_ctrl_e ctrl;
};
