#pragma once
#include <gtest/gtest.h>

#include <string>

#include "engine/entity_reg.h"
#include "engine/host.h"
#include "engine/vfs.h"
#include "frame/type_registry.h"
#include "frame/world_types.h"
#include "frame_fixture.h"

// A reset engine over the sample game in data/, with the module's entity types registered as its
// registration gives them to the host: the tests start the game as "kavrenta -map mainland" starts it.
class sample_game_test_t : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        engine_reset();
        ASSERT_TRUE(vfs_init_from_host());
        ASSERT_TRUE(bind_engine_for_tests());
        if (!entity_find_type("world.map"))
            register_world_types();
        const entity_reg_t* const rows = entity_type_rows();
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (!entity_find_type(rows[i].type_name))
                entity_register(&rows[i]);
    }
};
