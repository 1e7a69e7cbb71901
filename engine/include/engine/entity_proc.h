#pragma once
#include <vector>

#include "engine/eblock.h"
#include "engine/entity_handle.h"
#include "engine/process.h"

class entity_t;
struct c_item_t;

// A process that owns entities: it makes them from entity blocks, runs their init phases, calls their
// handlers each frame, and runs their destroy phases when their block goes. Destroying a block (or an
// entity) while the process is inside an entity's handler or phase is deferred until that work is
// done, so an entity may destroy its own block from its handler.
class entity_proc_t : public vprocess_t {
public:
    entity_proc_t();
    ~entity_proc_t() override;

    // Calls the handler of every inserted, awake entity in insertion order, then carries out the
    // destructions asked for meanwhile.
    void handler() override;
    // Destroys every block and entity of the process, then ends it.
    void shutdown() override;

    // Adds an entity to those whose handler runs each frame (the block's entities are inserted when
    // their init phases are done). Subclasses extend it to sort entities into their own lists.
    virtual void entity_insert(entity_t* entity);
    // Takes an entity out of the handler list without destroying it.
    virtual void entity_remove(entity_t* entity);
    // A sleeping entity keeps its place but gets no handler call.
    virtual void entity_sleep(entity_t* entity);
    virtual void entity_wakeup(entity_t* entity);
    // Destroys an entity: one of a block destroys its whole block; a lone entity runs its destroy
    // phases and is freed.
    virtual void entity_destroy(entity_t* entity);

    // Makes the entities of a block (created by type name, properties set, children linked) without
    // initialising them. Null, with a message naming the file and line, for an unknown type, an
    // unknown property or a bad value. `flags` is reserved and must be 0.
    eblock_t* clone_eblock(const eblock_template_t* block_template, unsigned flags);
    // The same from a cached block file (an item of the ".esc" kind, from `mm_precache` or `mm_map`;
    // loaded when it is not resident).
    eblock_t* clone_eblock(c_item_t* item, unsigned flags);
    // Precaches the block file at `path`, clones it (not initialised) and gives the cache's use back;
    // null with a message on failure.
    eblock_t* eblock_from_name(const char* path);
    // Precaches every entity of the block, runs the init phases over the union of their levels in
    // ascending order (each entity only in its own phases, block order within a phase), then inserts
    // them. When an entity fails a phase the block is destroyed and the answer is false.
    bool init_eblock(eblock_t* block);
    // Destroys a block of this process: its entities leave the handler list, their destroy phases run
    // over the union of their levels in ascending order, and they are freed. Deferred while the process
    // is busy (see above). False for a block that is not this process's or already dying.
    bool destroy_eblock(eblock_t* block);

    // Blocks of the process, in creation order (dying ones included until they go).
    const std::vector<eblock_t*>& eblocks() const { return blocks_; }
    // Number of inserted entities.
    int entity_count() const { return static_cast<int>(inserted_.size()); }

private:
    bool owns(const eblock_t* block) const;
    void insert_listed(entity_t* entity);
    void remove_listed(entity_t* entity);
    void run_destroy_phases(const std::vector<entity_t*>& entities);
    void free_block(eblock_t* block);
    void free_lone(entity_t* entity);
    void flush_deferred();
    void destroy_everything();

    std::vector<eblock_t*> blocks_;
    std::vector<entity_t*> inserted_;        // entities whose handler runs, in insertion order
    std::vector<eblock_t*> pending_blocks_;  // destructions asked for while busy
    std::vector<entity_t*> pending_lone_;
    int busy_ = 0;  // depth of handler and phase calls in progress
};
