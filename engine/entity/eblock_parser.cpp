#include <cstring>

#include "engine/eblock.h"
#include "engine/log.h"
#include "engine/scanner.h"

namespace {

// Punctuation of entity blocks: ':' and '(' stay inside values.
constexpr const char* block_punctuation = "{}[]=;,";
// Most entities one block may hold (their index must fit in 15 bits).
constexpr int max_entities = 32767;

// Reads one block file into entity definitions; reports the first fault through the scanner.
class eblock_reader_t {
public:
    eblock_reader_t(std::string_view text, const std::string& source) : scanner_(text, source, block_punctuation) {}

    bool read(std::vector<eblock_template_t::entity_def_t>& out)
    {
        token_t token;
        while (scanner_.next(token)) {
            if (!read_entity(token, out, 0))
                return false;
        }
        if (scanner_.failed())
            return false;
        if (out.empty()) {
            scanner_.fail(0, "the block lists no entity");
            return false;
        }
        return true;
    }

private:
    // Reads `entity <type> { ... }`, whose first token is `keyword`.
    bool read_entity(const token_t& keyword, std::vector<eblock_template_t::entity_def_t>& out, int depth)
    {
        if (keyword.kind != token_kind_t::word || keyword.text != "entity")
            return fail(keyword, "expected \"entity\"");
        if (depth >= eblock_template_t::max_depth)
            return fail(keyword, "entities nested too deeply");
        if (++count_ > max_entities)
            return fail(keyword, "too many entities in one block");
        token_t type;
        if (!scanner_.next(type) || (type.kind != token_kind_t::word && type.kind != token_kind_t::string) ||
            type.text.empty())
            return fail(type, "expected an entity type name");
        eblock_template_t::entity_def_t entity;
        entity.type_name = type.text;
        entity.line = keyword.line;
        if (!scanner_.expect('{'))
            return false;
        token_t token;
        for (;;) {
            if (!scanner_.next(token))
                return fail(token, "missing '}' of the entity begun on line " + std::to_string(keyword.line));
            if (token.is('}'))
                break;
            if (token.kind == token_kind_t::word && token.text == "entity") {
                if (!read_entity(token, entity.children, depth + 1))
                    return false;
                continue;
            }
            if (!read_setting(token, entity))
                return false;
        }
        out.push_back(std::move(entity));
        return true;
    }

    // Reads `name = value ;` or `name = [ value, value ] ;`.
    bool read_setting(const token_t& name, eblock_template_t::entity_def_t& entity)
    {
        if (name.kind != token_kind_t::word)
            return fail(name, "expected a property name, \"entity\" or '}'");
        eblock_template_t::setting_t setting;
        setting.name = name.text;
        setting.line = name.line;
        if (!scanner_.expect('='))
            return false;
        if (scanner_.skip_if('[')) {
            setting.array = true;
            if (!scanner_.skip_if(']')) {
                for (;;) {
                    std::string value;
                    char stop = 0;
                    if (!read_value(value, ",]", stop))
                        return false;
                    setting.values.push_back(std::move(value));
                    if (stop == ']')
                        break;
                }
            }
            if (!scanner_.expect(';'))
                return false;
        } else {
            std::string value;
            char stop = 0;
            if (!read_value(value, ";", stop))
                return false;
            setting.values.push_back(std::move(value));
        }
        entity.settings.push_back(std::move(setting));
        return true;
    }

    // Joins the words, numbers and strings up to one of `stops` (consumed, returned in `stop`).
    bool read_value(std::string& value, const char* stops, char& stop)
    {
        token_t token;
        bool first = true;
        for (;;) {
            if (!scanner_.next(token))
                return fail(token, std::string("value not ended by '") + stops[0] + "'");
            if (token.kind == token_kind_t::punctuation) {
                if (strchr(stops, token.text[0])) {
                    stop = token.text[0];
                    return true;
                }
                return fail(token, "unexpected '" + token.text + "' in a value");
            }
            if (!first)
                value += ' ';
            value += token.text;
            first = false;
        }
    }

    bool fail(const token_t& at, const std::string& what)
    {
        scanner_.fail(at.line, "%s", what.c_str());
        return false;
    }

    scanner_t scanner_;
    int count_ = 0;
};

int count_entities(const std::vector<eblock_template_t::entity_def_t>& entities)
{
    int count = 0;
    for (const auto& entity : entities)
        count += 1 + count_entities(entity.children);
    return count;
}

}  // namespace

std::unique_ptr<eblock_template_t> eblock_template_t::parse(std::string_view text, const std::string& source)
{
    auto block = std::make_unique<eblock_template_t>();
    block->source_ = source;
    eblock_reader_t reader(text, source);
    if (!reader.read(block->entities_))
        return nullptr;
    return block;
}

int eblock_template_t::entity_count() const { return count_entities(entities_); }
