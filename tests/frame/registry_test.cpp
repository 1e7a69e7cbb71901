#include <cstring>
#include <string>

#include "engine/bmem.h"
#include "engine/cvar.h"
#include "engine/entity.h"
#include "engine/entity_reg.h"
#include "engine/lcl.h"
#include "engine/mem.h"
#include "engine/pml.h"
#include "engine/process.h"
#include "engine/ui.h"
#include "common/geometry_pools.h"
#include "common/local_def.h"
#include "frame/psm_process.h"
#include "frame/type_registry.h"
#include "frame/world_types.h"
#include "frame_fixture.h"
#include "game/ui_handler_hud.h"
#include "ui/components/ui_comp_common_list.h"
#include "ui/components/ui_comp_gauge.h"
#include "ui/components/ui_comp_tooltip.h"
#include "vehicles/player/car_player.h"
#include "world/decals_plain.h"

extern "C" bool DLL_register(HMODULE host_module);
extern "C" void DLL_shutdown();
extern "C" int dll_main_hook(void* module, unsigned reason, void* reserved);

namespace {

// Lock count of the model library's process (the loader lock).
int loader_locks() { return psm_process() ? psm_process()->lock_count() : -1; }

}  // namespace

class registry_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        ASSERT_TRUE(DLL_register(engine_handle()));
        ASSERT_NE(psm_process(), nullptr);
    }
};

TEST_F(registry_test, registration_adds_the_world_side_types_then_every_row_in_order)
{
    const char* const world_names[] = {"world.map",   "sounds.plain_sound", "decals.wrap.placer",
                                       "decals.wrap", "decals.plain",       "decals.pmd",
                                       "world.sky",   "helpers.box_helper"};
    for (const char* name : world_names) {
        const entity_reg_t* const type = entity_find_type(name);
        ASSERT_NE(type, nullptr) << name;
        EXPECT_EQ(type->flags, 1u) << name;
        EXPECT_EQ(type->destroy, world_type_destroy) << name;
        const bool sized_words = strcmp(name, "world.map") == 0 || strcmp(name, "sounds.plain_sound") == 0;
        EXPECT_EQ(type->words[0], sized_words ? type->instance_size : 0u) << name;
        EXPECT_EQ(type->words[1], sized_words ? reinterpret_cast<uintptr_t>(type->create) : 0u) << name;
        EXPECT_EQ(type->words[2], sized_words ? reinterpret_cast<uintptr_t>(&world_type_destroy) : 0u) << name;
    }
    const char* const row_names[] = {"actors.car",
                                     "actors.trailer",
                                     "actors.ai",
                                     "traffic",
                                     "editor.ctrl",
                                     "ui.handler.editor.hud",
                                     "ui.handler.editor.help",
                                     "editor.camera.top",
                                     "editor.camera.free",
                                     "game.ctrl",
                                     "economy.ctrl",
                                     "decals.wrap_aa",
                                     "ui.handler.system.console",
                                     "ui.handler.system.bugreport",
                                     "ui.handler.menu.main",
                                     "ui.handler.menu.game",
                                     "ui.handler.menu.load",
                                     "ui.handler.menu.save",
                                     "ui.handler.menu.optionsbase",
                                     "ui.handler.menu.options1",
                                     "ui.handler.menu.options2",
                                     "ui.handler.menu.options3",
                                     "ui.handler.options.informer",
                                     "ui.handler.menu.newgame",
                                     "ui.handler.hud.job3d",
                                     "ui.handler.hud.job",
                                     "ui.handler.hud",
                                     "ui.handler.jukebox",
                                     "ui.handler.call911",
                                     "ui.handler.gameover",
                                     "ui.handler.mbackground",
                                     "ui.handler.msgbox",
                                     "ui.handler.menu.credits",
                                     "ui.handler.showroom",
                                     "ui.handler.menu.notebook",
                                     "ui.handler.screen.routes",
                                     "ui.handler.screen.trucks",
                                     "ui.handler.screen.economy",
                                     "ui.handler.screen.competition",
                                     "ui.handler.screen.roadmap",
                                     "ui.handler.dialog.driver",
                                     "ui.handler.dialog.color",
                                     "ui.handler.dialog.gfxtest",
                                     "ui.window",
                                     "ui.comp.historyline",
                                     "ui.comp.logview",
                                     "ui.comp.text",
                                     "ui.comp.button",
                                     "ui.comp.group",
                                     "ui.comp.common.button",
                                     "ui.comp.common.text",
                                     "ui.comp.common.slider",
                                     "ui.comp.common.frame",
                                     "ui.comp.common.list",
                                     "ui.comp.common.dropdown",
                                     "ui.comp.common.inputline",
                                     "ui.comp.gauge",
                                     "ui.comp.area_map",
                                     "ui.comp.mirror",
                                     "ui.comp.make",
                                     "ui.comp.menu_model",
                                     "ui.comp.truckbutton",
                                     "ui.comp.arrow",
                                     "ui.comp.progress",
                                     "ui.comp.double_bar",
                                     "ui.comp.color.pick",
                                     "ui.comp.tooltip",
                                     "environment",
                                     "env.snow",
                                     "env.rain",
                                     "particle.car_smoke"};
    ASSERT_EQ(entity_type_row_count(), 71);
    const entity_reg_t* const rows = entity_type_rows();
    for (int i = 0; i < entity_type_row_count(); ++i) {
        const std::string name = rows[i].type_name;
        EXPECT_EQ(name, row_names[i]) << "row " << i;
        EXPECT_EQ(entity_find_type(rows[i].type_name), &rows[i]) << name;
        const bool weather = name == "environment" || name == "env.snow" || name == "env.rain" ||
                             name == "particle.car_smoke" || name == "actors.car";
        EXPECT_EQ(rows[i].flags, weather ? 1u : 0u) << name;
        EXPECT_EQ(rows[i].words[0] | rows[i].words[1] | rows[i].words[2], 0u) << name;
        EXPECT_EQ(rows[i].destroy, entity_type_destroy) << name;
    }
    EXPECT_EQ(entity_type_count(), 8 + entity_type_row_count());
    EXPECT_EQ(rows[0].instance_size, sizeof(car_player_e));
    EXPECT_EQ(entity_find_type("ui.window")->instance_size, sizeof(ui_window_t));
    EXPECT_EQ(entity_find_type("ui.comp.gauge")->instance_size, sizeof(ui_comp_gauge_t));
}

TEST_F(registry_test, every_row_creates_an_object_named_by_its_type_under_the_loader_lock)
{
    for (int i = 0; i < entity_type_row_count(); ++i) {
        const entity_reg_t& type = entity_type_rows()[i];
        entity_t* const object = entity_create(type.type_name);
        ASSERT_NE(object, nullptr) << type.type_name;
        EXPECT_STREQ(object->type_name(), type.type_name);
        EXPECT_EQ(loader_locks(), 1) << type.type_name;
        const std::string name = type.type_name;
        if (name.rfind("ui.", 0) == 0) {
            EXPECT_STREQ(object->get_default_name(), type.type_name);
            const bool handler = name.rfind("ui.handler.", 0) == 0;
            EXPECT_EQ(dynamic_cast<ui_handler_t*>(object) != nullptr, handler) << name;
            EXPECT_EQ(dynamic_cast<ui_view_t*>(object) != nullptr, !handler) << name;
        }
        entity_free(object);
        EXPECT_EQ(loader_locks(), 0) << type.type_name;
    }
}

TEST_F(registry_test, a_ui_script_builds_a_window_of_module_types_and_gives_every_lock_back)
{
    write_data_file("ui/hud.esc", "entity ui.handler.hud { }\n"
                                  "entity ui.window {\n"
                                  "    rect = 0 1024 768 0;\n"
                                  "    entity ui.comp.gauge { id = 10; rect = 10 110 110 10; }\n"
                                  "    entity ui.comp.common.list { id = 20; entity ui.comp.tooltip { id = 21; } }\n"
                                  "}\n");
    c_item_t* const item = ui_winsert("hud", "main", 0, "/ui/hud.esc", true);
    ASSERT_NE(item, nullptr);
    // The module owns "ui.window": the engine's UI started without registering a rival.
    EXPECT_TRUE(engine_log_matching("already registered").empty());
    auto* const window = static_cast<ui_window_t*>(item->object);
    EXPECT_EQ(window->type(), entity_find_type("ui.window"));
    EXPECT_EQ(loader_locks(), 7);  // window, gauge, list, tooltip, handler, the list's row group and row
    ASSERT_EQ(window->children.size(), 2u);
    EXPECT_NE(dynamic_cast<ui_comp_gauge_t*>(window->children[0]), nullptr);
    auto* const list = dynamic_cast<ui_comp_common_list_t*>(window->children[1]);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->children.size(), 2u);  // the tooltip, then the group of the list's rows
    EXPECT_NE(dynamic_cast<ui_comp_tooltip_t*>(list->children[0]), nullptr);
    ui_process();
    ui_wremove(item);
    EXPECT_EQ(loader_locks(), 0);
}

TEST_F(registry_test, the_model_library_process_holds_translation_and_markup_until_shutdown)
{
    EXPECT_EQ(lcl_api_uses(), 1);
    EXPECT_TRUE(pml_is_localized());
    write_data_file("scripts/local.def", "translate { ui_warning = Warning }\n");
    ASSERT_NE(load_local_def(), nullptr);
    EXPECT_STREQ(lcl_translate("@@ui_warning@@ @@ui_other@@"), "Warning ui_other");
    process_broadcast_system(vprocess_t::system_shutdown);
    EXPECT_EQ(lcl_api_uses(), 0);
    EXPECT_FALSE(pml_is_localized());
    EXPECT_STREQ(lcl_translate("@@ui_warning@@"), "@@ui_warning@@");
}

TEST_F(registry_test, registration_adds_the_loaders_the_variable_and_the_model_library_process)
{
    EXPECT_EQ(world_loader_count(), 3);
    ASSERT_NE(world_item_pool(), nullptr);
    EXPECT_EQ(world_item_pool()->item_size(), 32u);
    EXPECT_EQ(world_item_pool()->items_per_block(), 256u);
    ASSERT_NE(cvar_get("p_profile_draws"), nullptr);
    EXPECT_STREQ(cvar_get("p_profile_draws")->value(), "0");
    EXPECT_EQ(process_get("psm"), psm_process());
    EXPECT_EQ(loader_locks(), 0);
}

TEST_F(registry_test, create_in_caller_memory_does_not_allocate_and_destroy_keeps_it)
{
    alignas(std::max_align_t) unsigned char memory[sizeof(car_player_e)];
    mem_fail_after(1);  // any allocation now would fail
    entity_t* const truck = entity_type_rows()[0].create(memory);
    mem_fail_after(0);
    ASSERT_EQ(static_cast<void*>(truck), static_cast<void*>(memory));
    EXPECT_EQ(loader_locks(), 1);
    entity_type_destroy(truck, true);  // freeing stack memory would be caught by the sanitizers
    EXPECT_EQ(loader_locks(), 0);
}

TEST_F(registry_test, create_without_memory_allocates_one_instance_and_destroy_frees_it)
{
    for (const char* name : {"actors.car", "environment", "world.map", "decals.plain"}) {
        const entity_reg_t* const type = entity_find_type(name);
        ASSERT_NE(type, nullptr) << name;
        entity_t* const object = type->create(nullptr);
        ASSERT_NE(object, nullptr) << name;
        EXPECT_EQ(loader_locks(), 1) << name;
        type->destroy(object, false);
        EXPECT_EQ(loader_locks(), 0) << name;
    }
    entity_t* const decal = entity_find_type("decals.plain")->create(nullptr);
    EXPECT_NE(dynamic_cast<decals_plain_e*>(decal), nullptr);
    world_type_destroy(decal, false);
}

TEST_F(registry_test, a_failed_allocation_answers_null_and_keeps_the_lock_balanced)
{
    mem_fail_after(1);
    EXPECT_EQ(entity_type_rows()[3].create(nullptr), nullptr);
    mem_fail_after(0);
    EXPECT_EQ(loader_locks(), 0);
    // The notebook and its pages alike.
    for (const char* name :
         {"ui.handler.menu.notebook", "ui.handler.screen.routes", "ui.handler.screen.trucks",
          "ui.handler.screen.economy", "ui.handler.screen.competition", "ui.handler.screen.roadmap"}) {
        mem_fail_after(1);
        EXPECT_EQ(entity_find_type(name)->create(nullptr), nullptr) << name;
        mem_fail_after(0);
        EXPECT_EQ(loader_locks(), 0) << name;
    }
}

TEST_F(registry_test, destroying_null_only_gives_the_lock_back)
{
    entity_t* const object = entity_type_rows()[1].create(nullptr);
    ASSERT_NE(object, nullptr);
    entity_type_destroy(nullptr, false);
    EXPECT_EQ(loader_locks(), 0);
    psm_process_lock();
    entity_type_destroy(object, false);
    EXPECT_EQ(loader_locks(), 0);
}

TEST_F(registry_test, the_engine_creates_and_frees_registered_types_by_name)
{
    entity_t* const truck = entity_create("actors.car");
    ASSERT_NE(truck, nullptr);
    EXPECT_STREQ(truck->type_name(), "actors.car");
    EXPECT_EQ(loader_locks(), 1);
    entity_free(truck);
    EXPECT_EQ(loader_locks(), 0);
}

TEST_F(registry_test, system_notices_free_resources_unregister_loaders_and_release_the_definitions)
{
    process_broadcast_system(vprocess_t::system_free_unreferenced);
    EXPECT_EQ(world_loader_count(), 3);
    process_broadcast_system(vprocess_t::system_unregister_loaders);
    EXPECT_EQ(world_loader_count(), 0);
    EXPECT_EQ(mm_map("/maps/sector.btr"), nullptr);
}

TEST_F(registry_test, loaders_claim_their_names_under_the_loader_lock)
{
    for (const char* name : {"/maps/a/sector.btr", "/behaviour/truck.info.xml", "/behaviour/walk.layer.xml"}) {
        c_item_t* const item = mm_map(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(loader_locks(), 1) << name;
        ci_dec_refs(item);
        EXPECT_TRUE(mm_release_item(item)) << name;
        EXPECT_EQ(loader_locks(), 0) << name;
    }
    EXPECT_EQ(mm_map("/maps/a/sector.btx"), nullptr);
    // Description names are case-sensitive and the suffix must end the name.
    for (const char* name : {"/behaviour/walk.LAYER.xml", "/behaviour/walk.layer.xml.bak", "/behaviour/walk.xml",
                             "/behaviour/truck.Info.xml"})
        EXPECT_EQ(mm_map(name), nullptr) << name;
}

TEST_F(registry_test, shutdown_without_a_game_removes_the_pools_and_harms_nothing)
{
    EXPECT_NE(geometry_pool_by_shader(), nullptr);
    EXPECT_NE(geometry_pool_by_priority(), nullptr);
    DLL_shutdown();
    EXPECT_EQ(geometry_pool_by_shader(), nullptr);
    EXPECT_EQ(geometry_pool_by_priority(), nullptr);
    DLL_shutdown();
    EXPECT_EQ(dll_main_hook(nullptr, 0, nullptr), 1);
    EXPECT_EQ(dll_main_hook(nullptr, 3, nullptr), 1);
}
