#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/evalue.h"
#include "engine/level_list.h"

class eblock_t;
class entity_proc_t;
class mbio_t;
struct entity_reg_t;
// An editor draw command, filled by `edit_draw` (laid out by the editor).
struct edit_draw_cmd_t;

// The editor's view of an entity: its editable values, its default name, copying, and the hooks the
// map editor calls. Every hook has a do-nothing default.
class entity_base_t {
public:
    entity_base_t() = default;
    entity_base_t(const entity_base_t&) = delete;
    entity_base_t& operator=(const entity_base_t&) = delete;
    virtual ~entity_base_t() = default;

    // Head of the class's chain of editable-value descriptors (null: none).
    virtual const evalue_def_t* get_evalue_root() const { return nullptr; }
    // Name an instance gets when its block does not name it.
    virtual const char* get_default_name() const { return "entity"; }
    // Copies the editable values of `source` (an entity of the same class); false when it cannot.
    virtual bool copy_from(const entity_base_t* source);

    // Editor hooks. Those answering int answer 0 when all is well.
    virtual int edit_init() { return 0; }
    virtual int edit_post_init() { return 0; }
    // Fills one draw command for the editor's 2-D view; answers how many it filled.
    virtual int edit_draw(edit_draw_cmd_t* command, const float* points, int state);
    virtual int edit_draw_3d() { return 0; }
    virtual int edit_draw_icon() { return 0; }
    // The editor changed property `name` (element `index`) to `value`; true when the entity stored a
    // corrected value itself.
    virtual bool edit_val_changed(const char* name, int index, const char* value);
    // Writes a problem of the entity into `text` (at most `size` bytes) and answers true, or false.
    virtual bool edit_check_me(char* text, size_t size);
    virtual int edit_save() { return 0; }
    virtual int edit_post_save() { return 0; }
    // Lets the entity steer the editor camera this frame; true when it did.
    virtual bool edit_camera_ctrl() { return false; }
    // The entity's camera frame (16 floats) for the editor; false when it has none.
    virtual bool edit_get_camera(float* matrix);
    // The range of numeric property `name`; false when it is unbounded.
    virtual bool edit_get_range(const char* name, float* minimum, float* maximum);
    // The editor placed a new instance; it may set its initial values.
    virtual void edit_set_initial() {}
    // The editor is about to delete the entity.
    virtual void edit_destroy() {}
    // Whether property `name` is editable now.
    virtual bool edit_evalue_valid(const char* name);
};

// Base of every scene object, controller and UI class. The engine creates entities by registered
// type name, runs their init phases, calls their handler each frame while they live in an entity
// process, then runs their destroy phases.
class entity_t : public entity_base_t {
public:
    // The phases every entity gets: 0 for both init and destroy.
    static const level_list_t init_list;
    static const level_list_t destroy_list;

    entity_t();
    ~entity_t() override;

    // Once per frame while the entity is in a process and awake.
    virtual void handler() {}
    // Once per phase of `get_init_list`, ascending; non-zero means the entity failed.
    virtual int init(int phase);
    // Once per phase of `get_destroy_list`, ascending.
    virtual int destroy(int phase);
    // Loads what the entity will need before its init phases.
    virtual void precache() {}
    virtual void pre_draw() {}
    virtual void draw() {}
    // Another entity uses this one (the player presses "use" on it); true when it reacted.
    virtual bool use(entity_t* user);
    // A signal on input `pin`; answers the output.
    virtual int pin_io(int pin, int value);
    // Network replication of the entity's state.
    virtual bool net_send(mbio_t* writer);
    virtual bool net_receive(mbio_t* reader);
    // Whole state, and the user-visible part of it, for save games.
    virtual bool store_state(mbio_t* writer);
    virtual bool restore_state(mbio_t* reader);
    virtual bool store_user_state(mbio_t* writer);
    virtual bool restore_user_state(mbio_t* reader);
    // The engine moved the object by `delta` bytes; fix pointers into itself.
    virtual void mem_move(ptrdiff_t delta);
    virtual const level_list_t* get_init_list() const { return &init_list; }
    virtual const level_list_t* get_destroy_list() const { return &destroy_list; }

    // The handle that names this entity while it lives.
    entity_handle_t handle() const { return handle_; }
    // The instance name (the block's "name", else the default name).
    const char* name() const { return name_[0] ? name_ : get_default_name(); }
    void set_name(const char* name);
    // The registered type it was created as, or null for an entity made directly.
    const entity_reg_t* type() const { return type_; }
    const char* type_name() const;

    // The block this entity belongs to, or null.
    eblock_t* block() const { return block_; }
    // The process the entity lives in, or null.
    entity_proc_t* process() const { return process_; }
    // Parent and first child within the block's tree, and the next child of the same parent.
    entity_t* parent() const { return parent_; }
    entity_t* first_child() const { return first_child_; }
    entity_t* next_sibling() const { return next_sibling_; }

    bool sleeping() const { return sleeping_; }

    // Engine flag words: the first selects engine behaviours, the second the entity's type (bit
    // value 2: drawn each frame; bit value 4: pre-drawn each frame).
    uint32_t entity_flags = 0;
    uint32_t type_flags = 0;
    // Id of the entity in its scene (-1 none) and of the block it belongs to there (-1 none).
    int id = -1;
    int block_id = -1;

private:
    friend struct entity_access;
    entity_handle_t handle_;
    char name_[64] = "";
    const entity_reg_t* type_ = nullptr;
    eblock_t* block_ = nullptr;
    entity_proc_t* process_ = nullptr;
    entity_t* parent_ = nullptr;
    entity_t* first_child_ = nullptr;
    entity_t* next_sibling_ = nullptr;
    bool sleeping_ = false;
    int phases_started_ = 0;  // init phases begun; destroy phases run only on entities that began
};

// The init (or destroy) phases of `entities` from their level lists, ascending and without repeats:
// the order in which a block's entities run their phases.
std::vector<int> entity_phase_union(const std::vector<entity_t*>& entities, bool init);
