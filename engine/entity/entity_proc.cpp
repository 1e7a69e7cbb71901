#include "engine/entity_proc.h"

#include <algorithm>
#include <functional>

#include "engine/check.h"
#include "engine/entity.h"
#include "engine/entity_reg.h"
#include "engine/log.h"
#include "entity_access.h"

namespace {

// Counts a stretch of work during which destruction must wait.
class busy_scope_t {
public:
    explicit busy_scope_t(int& depth) : depth_(depth) { ++depth_; }
    ~busy_scope_t() { --depth_; }
    busy_scope_t(const busy_scope_t&) = delete;
    busy_scope_t& operator=(const busy_scope_t&) = delete;

private:
    int& depth_;
};

}  // namespace

entity_proc_t::entity_proc_t() { set_name("entities"); }

entity_proc_t::~entity_proc_t() { destroy_everything(); }

bool entity_proc_t::owns(const eblock_t* block) const
{
    return block && std::find(blocks_.begin(), blocks_.end(), block) != blocks_.end();
}

void entity_proc_t::handler()
{
    {
        busy_scope_t busy(busy_);
        // Handlers may insert, remove or destroy entities: walk a snapshot of handles and skip any
        // that went or left the list meanwhile.
        std::vector<entity_handle_t> frame;
        frame.reserve(inserted_.size());
        for (const entity_t* entity : inserted_)
            frame.push_back(entity->handle());
        for (const entity_handle_t handle : frame) {
            entity_t* entity = handle.resolve();
            if (!entity || entity->process() != this || entity->sleeping())
                continue;
            if (entity->block() && entity->block()->dying())
                continue;
            if (std::find(pending_lone_.begin(), pending_lone_.end(), entity) != pending_lone_.end())
                continue;
            entity->handler();
        }
    }
    flush_deferred();
}

void entity_proc_t::shutdown()
{
    destroy_everything();
    vprocess_t::shutdown();
}

void entity_proc_t::entity_insert(entity_t* entity) { insert_listed(entity); }

void entity_proc_t::entity_remove(entity_t* entity) { remove_listed(entity); }

void entity_proc_t::insert_listed(entity_t* entity)
{
    if (!entity || entity->process() == this)
        return;
    if (entity->process()) {
        error("<entity_proc_t> %s already lives in process %s", entity->name(), entity->process()->name());
        return;
    }
    inserted_.push_back(entity);
    entity_access::set_process(*entity, this);
}

void entity_proc_t::remove_listed(entity_t* entity)
{
    if (!entity || entity->process() != this)
        return;
    inserted_.erase(std::remove(inserted_.begin(), inserted_.end(), entity), inserted_.end());
    entity_access::set_process(*entity, nullptr);
}

void entity_proc_t::entity_sleep(entity_t* entity)
{
    if (entity)
        entity_access::set_sleeping(*entity, true);
}

void entity_proc_t::entity_wakeup(entity_t* entity)
{
    if (entity)
        entity_access::set_sleeping(*entity, false);
}

void entity_proc_t::entity_destroy(entity_t* entity)
{
    if (!entity)
        return;
    if (entity->block()) {
        destroy_eblock(entity->block());
        return;
    }
    if (std::find(pending_lone_.begin(), pending_lone_.end(), entity) != pending_lone_.end())
        return;
    if (busy_ > 0) {
        pending_lone_.push_back(entity);
        return;
    }
    free_lone(entity);
}

bool entity_proc_t::init_eblock(eblock_t* block)
{
    if (!owns(block) || block->dying() || block->initialised()) {
        error("<entity_proc_t> cannot initialise a block that is not a fresh block of process %s", name());
        return false;
    }
    bool failed = false;
    {
        busy_scope_t busy(busy_);
        for (entity_t* entity : block->entities_)
            entity->precache();
        const std::vector<int> phases = entity_phase_union(block->entities_, true);
        // The union is sorted and free of repeats: each phase runs once, lowest first.
        kv_assert(std::adjacent_find(phases.begin(), phases.end(), std::greater_equal<int>()) == phases.end());
        for (const int phase : phases) {
            for (entity_t* entity : block->entities_) {
                const level_list_t* list = entity->get_init_list();
                if (!list || !list->contains(phase))
                    continue;
                ++entity_access::phases_started(*entity);
                const int result = entity->init(phase);
                if (result != 0) {
                    error("<entity_proc_t> %s: %s (%s) failed init phase %d (%d)", block->source().c_str(),
                          entity->name(), entity->type_name(), phase, result);
                    failed = true;
                    break;
                }
            }
            if (failed)
                break;
        }
        if (!failed && !block->dying()) {
            block->initialised_ = true;
            for (entity_t* entity : block->entities_)
                entity_insert(entity);
        }
    }
    // An entity may have destroyed its own block during its phases: that is no success either.
    const bool destroyed = block->dying();
    if (failed)
        destroy_eblock(block);
    flush_deferred();
    return !failed && !destroyed;
}

bool entity_proc_t::destroy_eblock(eblock_t* block)
{
    if (!owns(block) || block->dying())
        return false;
    block->dying_ = true;
    if (busy_ > 0)
        pending_blocks_.push_back(block);
    else
        free_block(block);
    return true;
}

void entity_proc_t::run_destroy_phases(const std::vector<entity_t*>& entities)
{
    busy_scope_t busy(busy_);
    std::vector<entity_t*> started;
    for (entity_t* entity : entities)
        if (entity_access::phases_started(*entity) > 0)
            started.push_back(entity);
    const std::vector<int> phases = entity_phase_union(started, false);
    kv_assert(std::adjacent_find(phases.begin(), phases.end(), std::greater_equal<int>()) == phases.end());
    for (const int phase : phases)
        for (entity_t* entity : started) {
            const level_list_t* list = entity->get_destroy_list();
            if (list && list->contains(phase))
                entity->destroy(phase);
        }
}

void entity_proc_t::free_block(eblock_t* block)
{
    pending_blocks_.erase(std::remove(pending_blocks_.begin(), pending_blocks_.end(), block), pending_blocks_.end());
    for (entity_t* entity : block->entities_)
        entity_remove(entity);
    run_destroy_phases(block->entities_);
    blocks_.erase(std::remove(blocks_.begin(), blocks_.end(), block), blocks_.end());
    // Children before parents: the reverse of creation order.
    for (auto it = block->entities_.rbegin(); it != block->entities_.rend(); ++it)
        entity_free(*it);
    delete block;
}

void entity_proc_t::free_lone(entity_t* entity)
{
    pending_lone_.erase(std::remove(pending_lone_.begin(), pending_lone_.end(), entity), pending_lone_.end());
    entity_remove(entity);
    run_destroy_phases({entity});
    entity_free(entity);
}

void entity_proc_t::flush_deferred()
{
    if (busy_ > 0)
        return;
    // Destroy phases may ask for more destruction; keep going until nothing is pending.
    while (!pending_blocks_.empty() || !pending_lone_.empty()) {
        if (!pending_blocks_.empty()) {
            eblock_t* block = pending_blocks_.front();
            pending_blocks_.erase(pending_blocks_.begin());
            free_block(block);
        } else {
            entity_t* entity = pending_lone_.front();
            pending_lone_.erase(pending_lone_.begin());
            free_lone(entity);
        }
    }
}

void entity_proc_t::destroy_everything()
{
    while (!pending_lone_.empty())
        free_lone(pending_lone_.front());
    while (!blocks_.empty()) {
        eblock_t* block = blocks_.back();
        block->dying_ = true;
        free_block(block);
    }
    // Lone entities still inserted belong to whoever inserted them; they only leave the list.
    while (!inserted_.empty())
        entity_remove(inserted_.back());
}
