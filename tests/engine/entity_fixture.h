#pragma once
#include <new>
#include <string>
#include <vector>

#include "engine/entity.h"
#include "engine/entity_proc.h"
#include "engine/entity_reg.h"
#include "engine/mem.h"
#include "engine_testing/engine_test.h"

// Entity types the entity tests register, and the journal their operations write to.

// What the probes did, in order ("<name> init -10", "<name> destroy 0", "<name> handler").
inline std::vector<std::string>& probe_journal()
{
    static std::vector<std::string> journal;
    return journal;
}

// Create and destroy functions of the kind a module writes for a registration record.
template <typename entity_class> entity_t* probe_create(void* memory)
{
    if (!memory)
        memory = mem_sys_alloc(sizeof(entity_class));
    return memory ? new (memory) entity_class : nullptr;
}

inline void probe_destroy(entity_t* object, bool in_place)
{
    if (!object)
        return;
    object->~entity_t();
    if (!in_place)
        mem_sys_free(object);
}

// An entity that writes every phase and handler call to the journal; its phases come from `lists`.
template <const level_list_t* init_levels, const level_list_t* destroy_levels> class probe_e : public entity_t {
public:
    int init(int phase) override
    {
        note("init " + std::to_string(phase));
        return phase == fail_phase ? -1 : 0;
    }
    int destroy(int phase) override
    {
        note("destroy " + std::to_string(phase));
        return 0;
    }
    void handler() override { note("handler"); }
    void precache() override { note("precache"); }
    const level_list_t* get_init_list() const override { return init_levels; }
    const level_list_t* get_destroy_list() const override { return destroy_levels; }
    const char* get_default_name() const override { return "probe"; }

    const evalue_def_t* get_evalue_root() const override { return &evd_fail_phase; }

    // Phase whose init answers failure (none by default); blocks set it as "fail_phase".
    int32_t fail_phase = 1000;
    static const evalue_def_t evd_fail_phase;

private:
    void note(const std::string& what) { probe_journal().push_back(std::string(name()) + " " + what); }
};

template <const level_list_t* init_levels, const level_list_t* destroy_levels>
const evalue_def_t probe_e<init_levels, destroy_levels>::evd_fail_phase =
    evalue_member("fail_phase", evalue_int, sizeof(int32_t), evalue_bind<&probe_e::fail_phase>, nullptr);

// An entity whose handler destroys its own block (twice, as a careless caller might).
class quitter_e : public entity_t {
public:
    void handler() override
    {
        probe_journal().push_back(std::string(name()) + " handler");
        process()->destroy_eblock(block());
        process()->destroy_eblock(block());
    }
    int destroy(int phase) override
    {
        probe_journal().push_back(std::string(name()) + " destroy " + std::to_string(phase));
        return 0;
    }
    const char* get_default_name() const override { return "quitter"; }
};

// Phase lists of the probes: early entities register before the others load.
inline const level_list_t probe_early_init(&entity_t::init_list, {-10, 10});
inline const level_list_t probe_late_init(&entity_t::init_list, {-2});
inline const level_list_t probe_destroy_levels(&entity_t::destroy_list, {10});

using early_probe_e = probe_e<&probe_early_init, &probe_destroy_levels>;
using late_probe_e = probe_e<&probe_late_init, &entity_t::destroy_list>;

inline const entity_reg_t early_probe_reg{
    "test.early", 1, {0, 0, 0}, sizeof(early_probe_e), probe_create<early_probe_e>, probe_destroy};
inline const entity_reg_t quitter_reg{"test.quitter", 0, {0, 0, 0}, sizeof(quitter_e), probe_create<quitter_e>,
                                      probe_destroy};
inline const entity_reg_t late_probe_reg{"test.late",  0, {0, 0, 0}, sizeof(late_probe_e), probe_create<late_probe_e>,
                                         probe_destroy};

// Base fixture of the entity tests: a reset engine with both probe types registered and one entity
// process listed to clone blocks into; the journal starts empty.
class entity_probe_test_t : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        probe_journal().clear();
        ASSERT_TRUE(entity_register(&early_probe_reg));
        ASSERT_TRUE(entity_register(&late_probe_reg));
        process_ = new entity_proc_t;
        ASSERT_TRUE(process_add(process_, nullptr, -1, 0));
    }

    entity_proc_t* process_ = nullptr;
};
