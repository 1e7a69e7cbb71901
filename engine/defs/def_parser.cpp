// Reads the definition syntax (docs/formats.md, "Definition files") into a pool.
#include <string>

#include "def_syntax.h"
#include "engine/def_pool.h"
#include "engine/scanner.h"

namespace {

bool is_text(const token_t& token)
{
    return token.kind == token_kind_t::word || token.kind == token_kind_t::number || token.kind == token_kind_t::string;
}

// Reads a text token (word, number or string) for `what`, reporting anything else.
bool read_text(scanner_t& scanner, std::string& out, const char* what, const std::string& owner)
{
    token_t token;
    if (scanner.next(token) && is_text(token)) {
        out = std::move(token.text);
        return true;
    }
    if (!scanner.failed()) {
        if (token.kind == token_kind_t::end)
            scanner.fail(token.line, "%s of '%s' missing at the end of the text", what, owner.c_str());
        else
            scanner.fail(token.line, "%s of '%s' expected but found '%s'", what, owner.c_str(), token.text.c_str());
    }
    return false;
}

class def_parser_t {
public:
    def_parser_t(std::string_view text, const std::string& source, def_pool_t& pool)
        : scanner_(text, source, def_syntax_punctuation.data()), pool_(pool)
    {}

    bool parse() { return parse_items(nullptr, 0, 0) && !scanner_.failed(); }

private:
    // Reads keys and objects into `parent` (null: the top level) until its closing brace.
    bool parse_items(def_obj_t* parent, int depth, int opened_line)
    {
        token_t token;
        while (scanner_.next(token)) {
            if (token.is('}')) {
                if (parent)
                    return true;
                scanner_.fail(token.line, "'}' without an open object");
                return false;
            }
            if (token.is(';'))
                continue;
            if (!is_text(token)) {
                scanner_.fail(token.line, "expected a key or an object name but found '%s'", token.text.c_str());
                return false;
            }
            const int line = token.line;
            std::string name = std::move(token.text);
            if (scanner_.skip_if('=')) {
                if (!parent) {
                    scanner_.fail(line, "key '%s' outside of any object", name.c_str());
                    return false;
                }
                std::string value;
                if (!read_text(scanner_, value, "value", name))
                    return false;
                parent->set_value(name.c_str(), value.c_str());
                continue;
            }
            std::string class_name;
            if (scanner_.skip_if(':') && !read_text(scanner_, class_name, "class", name))
                return false;
            if (!scanner_.expect('{'))
                return false;
            if (depth >= def_syntax_max_depth) {
                scanner_.fail(line, "objects nested deeper than %d levels", def_syntax_max_depth);
                return false;
            }
            def_obj_t* object = pool_.new_object(name.c_str(), class_name.c_str());
            pool_.add_object(object, parent);
            if (!parse_items(object, depth + 1, line))
                return false;
        }
        if (scanner_.failed())
            return false;
        if (parent) {
            scanner_.fail(token.line, "object '%s' opened at line %d is not closed", parent->name().c_str(),
                          opened_line);
            return false;
        }
        return true;
    }

    scanner_t scanner_;
    def_pool_t& pool_;
};

}  // namespace

std::unique_ptr<def_pool_t> def_pool_t::parse(std::string_view text, const std::string& source)
{
    auto pool = std::make_unique<def_pool_t>(source);
    def_parser_t parser(text, source, *pool);
    if (!parser.parse())
        return nullptr;
    return pool;
}
