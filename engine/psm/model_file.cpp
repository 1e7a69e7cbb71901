#include "model_file.h"

#include "text_reader.h"

namespace {

// Numbers a list of indices or words may hold: far more than any model needs, small enough to refuse
// a runaway file before it fills memory.
constexpr size_t max_list_numbers = size_t(1) << 22;

// Reads one model file, section by section.
class model_parser_t {
public:
    model_parser_t(std::string_view text, const std::string& source) : reader_(text, source) {}

    std::unique_ptr<psm_model_data_t> read(const std::string& source)
    {
        model_ = std::make_unique<psm_model_data_t>();
        model_->path_text = source;
        if (!reader_.header("psm", 1))
            return nullptr;
        token_t token;
        while (scanner().next(token)) {
            const bool ok = token.kind != token_kind_t::word ? fail_at(token, "expected \"bone\" or \"part\"")
                            : token.text == "bone"           ? read_bone()
                            : token.text == "part"           ? read_part()
                                                             : fail_at(token, "expected \"bone\" or \"part\"");
            if (!ok)
                return nullptr;
        }
        if (scanner().failed())
            return nullptr;
        model_->publish();
        return std::move(model_);
    }

private:
    scanner_t& scanner() { return reader_.scanner(); }

    bool fail_at(const token_t& token, const char* what)
    {
        scanner().fail(token.line, "%s, found \"%s\"", what, token.text.c_str());
        return false;
    }

    int find_bone(const std::string& name) const
    {
        for (size_t i = 0; i < model_->bone_names.size(); ++i)
            if (model_->bone_names[i] == name)
                return static_cast<int>(i);
        return -1;
    }

    // A bone name already declared.
    bool bone_reference(int& out)
    {
        std::string name;
        if (!reader_.name(name, "a bone name"))
            return false;
        out = find_bone(name);
        if (out < 0) {
            scanner().fail(0, "unknown bone \"%s\" (bones are declared before use)", name.c_str());
            return false;
        }
        return true;
    }

    bool read_bone()
    {
        std::string name;
        if (!reader_.name(name, "a bone name"))
            return false;
        if (find_bone(name) >= 0) {
            scanner().fail(0, "bone \"%s\" declared twice", name.c_str());
            return false;
        }
        psm_bone_t bone{};
        bone.parent = -1;
        bone.local = mat4_t::identity();
        if (!scanner().expect('{'))
            return false;
        token_t token;
        while (!scanner().skip_if('}')) {
            if (!scanner().next(token))
                return fail_at(token, "expected \"parent\", \"matrix\" or '}'");
            if (token.text == "parent" && token.kind == token_kind_t::word) {
                if (!bone_reference(bone.parent))
                    return false;
            } else if (token.text == "matrix" && token.kind == token_kind_t::word) {
                for (int row = 0; row < 4; ++row)
                    for (int column = 0; column < 4; ++column) {
                        double value = 0;
                        if (!scanner().read_real(value, "a bone matrix"))
                            return false;
                        bone.local.m[row][column] = static_cast<float>(value);
                    }
            } else {
                return fail_at(token, "expected \"parent\", \"matrix\" or '}'");
            }
        }
        bone.global = bone.parent < 0 ? bone.local : model_->bone_records[bone.parent].global * bone.local;
        model_->bone_names.push_back(std::move(name));
        model_->bone_records.push_back(bone);
        return true;
    }

    static std::vector<vec3_t> to_points(const std::vector<float>& numbers)
    {
        std::vector<vec3_t> points(numbers.size() / 3);
        for (size_t i = 0; i < points.size(); ++i)
            points[i] = {numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2]};
        return points;
    }

    // A list of points: "{ x y z ... }".
    bool points(std::vector<vec3_t>& out, const char* what)
    {
        std::vector<float> numbers;
        if (!reader_.floats(numbers, 3 * size_t(psm_max_part_vertices), what))
            return false;
        if (numbers.size() % 3 != 0) {
            scanner().fail(0, "%s need three numbers each (%zu given)", what, numbers.size());
            return false;
        }
        out = to_points(numbers);
        return true;
    }

    bool read_part()
    {
        psm_part_store_t part;
        if (!reader_.name(part.name, "a part name"))
            return false;
        for (const psm_part_store_t& other : model_->part_store)
            if (other.name == part.name) {
                scanner().fail(0, "part \"%s\" declared twice", part.name.c_str());
                return false;
            }
        const int start_line = scanner().line();
        if (!scanner().expect('{'))
            return false;
        std::vector<std::string> seen;
        token_t token;
        while (!scanner().skip_if('}')) {
            if (!scanner().next(token) || token.kind != token_kind_t::word)
                return fail_at(token, "expected a part section or '}'");
            for (const std::string& key : seen)
                if (key == token.text)
                    return fail_at(token, "section given twice");
            seen.push_back(token.text);
            if (!read_part_section(part, token))
                return false;
        }
        if (!check_part(part, start_line))
            return false;
        model_->part_store.push_back(std::move(part));
        return true;
    }

    bool read_part_section(psm_part_store_t& part, const token_t& key)
    {
        const std::string& k = key.text;
        if (k == "shader")
            return reader_.name(part.shader, "a shader path");
        if (k == "bone")
            return bone_reference(part.bone);
        if (k == "positions")
            return points(part.positions, "positions");
        if (k == "normals")
            return points(part.normals, "normals");
        if (k == "directions")
            return points(part.directions, "directions");
        if (k == "uvs")
            return reader_.floats(part.uvs, 2 * size_t(psm_max_part_vertices), "uvs");
        if (k == "indices")
            return reader_.words(part.indices, max_list_numbers, "indices");
        if (k == "words")
            return reader_.words(part.triangle_words, max_list_numbers, "words");
        return fail_at(key, "expected shader, bone, positions, normals, uvs, indices, words or directions");
    }

    // The arrays of a part must agree with each other.
    bool check_part(const psm_part_store_t& part, int line)
    {
        const size_t vertices = part.positions.size();
        const char* name = part.name.c_str();
        if (!part.normals.empty() && part.normals.size() != vertices)
            scanner().fail(line, "part \"%s\": %zu normals for %zu vertices", name, part.normals.size(), vertices);
        else if (!part.uvs.empty() && part.uvs.size() != 2 * vertices)
            scanner().fail(line, "part \"%s\": %zu uv numbers for %zu vertices", name, part.uvs.size(), vertices);
        else if (part.indices.size() % 3 != 0)
            scanner().fail(line, "part \"%s\": %zu indices is not whole triangles", name, part.indices.size());
        else if (!part.triangle_words.empty() && part.triangle_words.size() != part.indices.size() / 3)
            scanner().fail(line, "part \"%s\": %zu words for %zu triangles", name, part.triangle_words.size(),
                           part.indices.size() / 3);
        for (const uint16_t index : part.indices)
            if (index >= vertices) {
                scanner().fail(line, "part \"%s\": index %u beyond its %zu vertices", name, index, vertices);
                break;
            }
        return !scanner().failed();
    }

    psm_text_reader_t reader_;
    std::unique_ptr<psm_model_data_t> model_;
};

}  // namespace

std::unique_ptr<psm_model_data_t> psm_model_read_text(std::string_view text, const std::string& source)
{
    model_parser_t parser(text, source);
    return parser.read(source);
}
