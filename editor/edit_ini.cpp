#include "editor/edit_ini.h"

#include <cstring>

#include "engine/mbio.h"

namespace {

// Writes a record of 32-bit words one word at a time.
template <typename record_t> void write_words(mbio_t& out, const record_t& record)
{
    static_assert(sizeof(record_t) % 4 == 0);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    for (size_t at = 0; at < sizeof(record_t); at += 4) {
        uint32_t word;
        std::memcpy(&word, bytes + at, 4);
        out.write_u32(word);
    }
}

template <typename record_t> bool read_words(mbio_t& in, record_t& record)
{
    static_assert(sizeof(record_t) % 4 == 0);
    auto* bytes = reinterpret_cast<uint8_t*>(&record);
    for (size_t at = 0; at < sizeof(record_t); at += 4) {
        uint32_t word;
        if (!in.read_u32(word))
            return false;
        std::memcpy(bytes + at, &word, 4);
    }
    return true;
}

}  // namespace

bool edit_mode_valid(const int32_t mode) { return mode >= 0 && mode <= 13 && mode != 8; }
bool edit_sub_mode_valid(const int32_t sub_mode) { return sub_mode >= 0 && sub_mode <= 7; }

std::vector<uint8_t> edit_ini_write(const edit_ini_t& ini)
{
    std::vector<uint8_t> bytes(edit_ini_size);
    mbio_t out;
    out.open_write(bytes.data(), bytes.size());
    for (const map_edge_t& edge : ini.defaults.edges)
        write_words(out, edge);
    write_words(out, ini.defaults.aux_edge);
    for (const map_stamp_t& stamp : ini.defaults.stamps)
        write_words(out, stamp);
    for (const int32_t word : {ini.mode, ini.sub_mode, ini.stamp_definition, ini.stamp_shader, ini.node_height,
                               ini.aux_node_height, ini.item_height})
        out.write_i32(word);
    return bytes;
}

bool edit_ini_read(const std::vector<uint8_t>& bytes, edit_ini_t& out, std::string& out_error)
{
    if (bytes.size() != static_cast<size_t>(edit_ini_size)) {
        out_error = "it holds " + std::to_string(bytes.size()) + " bytes, not " + std::to_string(edit_ini_size);
        return false;
    }
    edit_ini_t ini;
    mbio_t in(bytes.data(), bytes.size());
    for (map_edge_t& edge : ini.defaults.edges)
        read_words(in, edge);
    read_words(in, ini.defaults.aux_edge);
    for (map_stamp_t& stamp : ini.defaults.stamps)
        read_words(in, stamp);
    for (int32_t* word : {&ini.mode, &ini.sub_mode, &ini.stamp_definition, &ini.stamp_shader, &ini.node_height,
                          &ini.aux_node_height, &ini.item_height})
        in.read_i32(*word);
    if (!edit_mode_valid(ini.mode) || !edit_sub_mode_valid(ini.sub_mode)) {
        out_error = "its mode " + std::to_string(ini.mode) + " or sub-mode " + std::to_string(ini.sub_mode) +
                    " is not one of the editor's";
        return false;
    }
    // Each default edge keeps the kind of its place in the file.
    static constexpr int32_t kinds[edit_default_edge_count] = {map_edge_road, map_edge_cross, map_edge_fork,
                                                               map_edge_prefab, map_edge_city_road};
    for (int32_t i = 0; i < edit_default_edge_count; ++i)
        if (ini.defaults.edges[i].kind != kinds[i]) {
            out_error =
                "its default edge " + std::to_string(i) + " is of kind " + std::to_string(ini.defaults.edges[i].kind);
            return false;
        }
    out = ini;
    return true;
}
