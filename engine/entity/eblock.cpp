#include "engine/eblock.h"

#include <algorithm>
#include <string>

#include "engine/entity.h"
#include "engine/entity_proc.h"
#include "engine/entity_reg.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "entity_access.h"

entity_t* eblock_t::entity(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return entities_[static_cast<size_t>(index)];
}

int eblock_t::index_of(const entity_t* entity) const
{
    const auto found = std::find(entities_.begin(), entities_.end(), entity);
    return found == entities_.end() ? -1 : static_cast<int>(found - entities_.begin());
}

std::unique_ptr<eblock_template_t> eblock_template_t::load(const char* path)
{
    std::string text;
    if (!path || !vfs_read_whole(path, text)) {
        error("<eblock> cannot read entity block \"%s\"", path ? path : "(null)");
        return nullptr;
    }
    return parse(text, path);
}

namespace {

// Makes the entities of one definition and its children into `block` (depth first). False, with a
// message naming the file and line, at the first fault; what was made stays in `made` for the caller
// to free.
bool make_entities(const eblock_template_t& source, const eblock_template_t::entity_def_t& def, entity_t* parent,
                   eblock_t* block, std::vector<entity_t*>& made)
{
    const char* file = source.source().c_str();
    if (!entity_find_type(def.type_name.c_str())) {
        error("%s:%d: unknown entity type \"%s\"", file, def.line, def.type_name.c_str());
        return false;
    }
    entity_t* entity = entity_create(def.type_name.c_str());
    if (!entity) {
        error("%s:%d: cannot create an entity of type \"%s\"", file, def.line, def.type_name.c_str());
        return false;
    }
    made.push_back(entity);
    entity_access::set_block(*entity, block);
    if (parent)
        entity_access::adopt(*parent, *entity);
    for (const eblock_template_t::setting_t& setting : def.settings) {
        std::string why;
        bool set = true;
        if (setting.name == "name") {
            const std::string& name = setting.values.front();
            if (setting.array || name.size() >= 64) {
                why = "an entity name is one text of at most 63 bytes";
                set = false;
            } else {
                entity->set_name(name.c_str());
            }
        } else if (setting.array) {
            set = evalue_set_array(entity, setting.name.c_str(), setting.values, &why);
        } else {
            set = evalue_set(entity, setting.name.c_str(), 0, setting.values.front().c_str(), &why);
        }
        if (!set) {
            error("%s:%d: %s: %s", file, setting.line, def.type_name.c_str(), why.c_str());
            return false;
        }
    }
    for (const auto& child : def.children)
        if (!make_entities(source, child, entity, block, made))
            return false;
    return true;
}

}  // namespace

eblock_t* entity_proc_t::clone_eblock(const eblock_template_t* block_template, unsigned flags)
{
    if (!block_template) {
        error("<entity_proc_t> no entity block to clone");
        return nullptr;
    }
    if (flags != 0) {
        error("<entity_proc_t> %s: unknown clone flags %u", block_template->source().c_str(), flags);
        return nullptr;
    }
    auto* block = new eblock_t(this, block_template->source());
    for (const auto& def : block_template->entities()) {
        if (!make_entities(*block_template, def, nullptr, block, block->entities_)) {
            for (auto it = block->entities_.rbegin(); it != block->entities_.rend(); ++it)
                entity_free(*it);
            delete block;
            return nullptr;
        }
    }
    blocks_.push_back(block);
    return block;
}
