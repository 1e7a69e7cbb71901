// Writes a definition pool back in its own syntax.
#include <string>

#include "engine/def_pool.h"
#include "def_syntax.h"

namespace {

// True when `text` reads back as exactly one bare word or number.
bool writes_bare(const std::string& text)
{
    if (text.empty() || text.rfind("//", 0) == 0 || text.rfind("/*", 0) == 0)
        return false;
    for (const char c : text)
        if (c == '"' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' ||
            def_syntax_punctuation.find(c) != std::string_view::npos)
            return false;
    return true;
}

void append_text(std::string& out, const std::string& text)
{
    if (writes_bare(text)) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

void append_object(std::string& out, const def_obj_t& object, int depth)
{
    const std::string indent(static_cast<size_t>(depth) * 4, ' ');
    out += indent;
    append_text(out, object.name());
    if (!object.class_name().empty()) {
        out += " : ";
        append_text(out, object.class_name());
    }
    out += " {\n";
    for (int i = 0; i < object.value_count(); ++i) {
        out += indent + "    ";
        append_text(out, object.key_at(i));
        out += " = ";
        append_text(out, object.value_at(i));
        out += '\n';
    }
    for (const def_obj_t* child : object.get_children())
        append_object(out, *child, depth + 1);
    out += indent + "}\n";
}

}  // namespace

std::string def_pool_t::to_text() const
{
    std::string out;
    for (const def_obj_t* object : objects_)
        append_object(out, *object, 0);
    return out;
}
