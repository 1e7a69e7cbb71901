#pragma once
#include <string>
#include <vector>

#include "engine/evalue.h"

struct c_item_t;
class def_obj_t;

// One template file of the common components ("/defs/ui/btn.def" and its kin) held in memory: the
// objects of class "template" in file order, each giving the keys its component reads, and the
// choice list that the components' "look" property offers.
class ui_template_t {
public:
    // Longest result of `get`; a longer one is cut.
    static constexpr size_t max_result = 8191;
    // Longest template name kept in the choice list.
    static constexpr size_t max_name = 63;

    ui_template_t();
    ~ui_template_t();
    ui_template_t(const ui_template_t&) = delete;
    ui_template_t& operator=(const ui_template_t&) = delete;

    // Loads `path` through the cache, giving back what was held; a file that cannot be loaded leaves
    // no templates (every `get` answers null) and an empty choice list.
    void load(const char* path);
    // Gives the file back and empties the choice list.
    void release();

    // The value of `key` in template `index` with "%0", "%1" ... replaced by the pieces of `args`
    // (split at '|'), or as written when `args` is null; null without a file, such a template or key.
    // The text lives in one buffer shared by every template, valid until the next call.
    const char* get(int index, const char* key, const char* args) const;
    // True when template `index` has `key`.
    bool has(int index, const char* key) const;
    // The number of templates.
    int count() const { return static_cast<int>(names_.size()); }
    // The choices of "look": one per template, named by its "name", ended by a null name.
    const evalue_text_choice_t* choices() const { return choices_.data(); }

private:
    // The template object `index` of the locked pool, or null.
    const def_obj_t* find(int index) const;
    // Rebuilds the choice list from `names_`.
    void build_choices();

    c_item_t* pool_item_ = nullptr;              // the definition file, one use held
    std::vector<std::string> names_;             // template names in file order
    std::vector<std::string> index_texts_;       // one-character texts whose code is the index
    std::vector<evalue_text_choice_t> choices_;  // into the two vectors above, null-ended
};

// A template file shared by every instance of one component class: loaded by the first instance's
// init and released by the last one's destroy. A script names its "look" before the component's
// init, so asking for the choices loads the file early; the engine's reset gives back a file that
// no instance took.
class ui_template_share_t {
public:
    explicit ui_template_share_t(const char* path);
    ~ui_template_share_t();

    // Takes a use, loading the file unless it is loaded.
    void acquire();
    // Gives a use back, releasing the file with the last.
    void release();
    // The choices of "look", loading the file unless it is loaded.
    const evalue_text_choice_t* choices();
    // Releases the file whatever the uses (the engine's reset).
    void reset();

    ui_template_t templates;

private:
    const char* path_;
    int uses_ = 0;
    bool loaded_ = false;
};

// Replaces "%0", "%1" ... in `text` by the pieces of `args` split at '|' (piece i for "%i", in
// order, scanning left to right), cutting the result at `limit` characters.
std::string ui_template_substitute(const std::string& text, const char* args, size_t limit);

// A built-in form with its one "%s" replaced by `value` (null reads as empty), cut at `limit`
// characters: what a component shows when its template has no such key.
std::string ui_builtin_format(const char* form, const char* value, size_t limit = ui_template_t::max_result);
