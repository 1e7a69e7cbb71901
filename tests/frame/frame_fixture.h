#pragma once
#include <dlfcn.h>

#include <new>

#include "engine/entity_reg.h"
#include "engine/log.h"
#include "engine/mem.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "common/object_e.h"

// A placeable object the frame tests put in their blocks.
class test_object_e : public object_e {};

inline entity_t* test_object_create(void* memory)
{
    if (!memory)
        memory = mem_sys_alloc(sizeof(test_object_e));
    return memory ? new (memory) test_object_e : nullptr;
}

inline void test_object_destroy(entity_t* object, bool in_place)
{
    object->~entity_t();
    if (!in_place)
        mem_sys_free(object);
}

// A reset engine with the module's engine pointers bound from the engine library of the test process.
class frame_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // The engine library's handle, as the host hands it to DLL_register.
    static HMODULE engine_handle()
    {
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void*>(&::message), &info))
            return nullptr;
        return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    }
};

// A bound engine with the test type registered and the scripts a world loads.
class world_test_t : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        static const entity_reg_t record{"test.object",      1, {0, 0, 0}, sizeof(test_object_e), test_object_create,
                                         test_object_destroy};
        if (!entity_find_type("test.object"))
            entity_register(&record);
        const char* block = "entity test.object { name = \"root\"; }\n";
        write_data_file("scripts/game/game.esc", block);
        write_data_file("scripts/game/car_actor.esc", block);
        write_data_file("scripts/editor/edit.esc", block);
        write_data_file("scripts/police.esc", block);
        write_data_file("maps/xyz.mbd", "");
        write_data_file("defs/car_colors.def", "colors { color_count = 2; color0 = 255; color1 = 65280; }\n");
    }
};
