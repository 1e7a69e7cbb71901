#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class entity_t;
class entity_proc_t;

// An entity block file (".esc") as read: the entities it lists by registered type name, with their
// property settings and children. It holds no entity; `entity_proc_t::clone_eblock` makes the
// entities from it, as often as asked.
class eblock_template_t {
public:
    // One property setting: a single value or an array of values, each as text.
    struct setting_t {
        std::string name;
        std::vector<std::string> values;
        bool array = false;
        int line = 0;
    };
    // One entity of the file, with its children.
    struct entity_def_t {
        std::string type_name;
        int line = 0;
        std::vector<setting_t> settings;
        std::vector<entity_def_t> children;
    };

    // Deepest nesting of child entities accepted.
    static constexpr int max_depth = 32;

    // Reads a block from `text`; `source` names it in messages. Null, with a message naming the source
    // and line, when the text is not a valid block.
    static std::unique_ptr<eblock_template_t> parse(std::string_view text, const std::string& source);
    // Reads the block file at virtual path `path`; null with a message when it cannot be read or parsed.
    static std::unique_ptr<eblock_template_t> load(const char* path);

    // The path or name the block was read from.
    const std::string& source() const { return source_; }
    // The top-level entities, in file order.
    const std::vector<entity_def_t>& entities() const { return entities_; }
    // Number of entities at every depth.
    int entity_count() const;

private:
    std::string source_;
    std::vector<entity_def_t> entities_;
};

// The entities made from one block, owned by the entity process that made them. Entities are indexed
// depth first in file order (a parent before its children); the root is entity 0.
class eblock_t {
public:
    eblock_t(const eblock_t&) = delete;
    eblock_t& operator=(const eblock_t&) = delete;

    const std::string& source() const { return source_; }
    entity_proc_t* process() const { return process_; }
    // The first entity of the block, or null for an empty block.
    entity_t* root() const { return entities_.empty() ? nullptr : entities_.front(); }
    int count() const { return static_cast<int>(entities_.size()); }
    // Entity `index`, or null out of range.
    entity_t* entity(int index) const;
    // The index of `entity` in this block, or -1.
    int index_of(const entity_t* entity) const;
    // True once every init phase ran.
    bool initialised() const { return initialised_; }
    // True once its destruction was asked for (it may still exist until the end of the frame).
    bool dying() const { return dying_; }

private:
    friend class entity_proc_t;
    eblock_t(entity_proc_t* process, std::string source) : process_(process), source_(std::move(source)) {}

    entity_proc_t* process_;
    std::string source_;
    std::vector<entity_t*> entities_;
    bool initialised_ = false;
    bool dying_ = false;
};
