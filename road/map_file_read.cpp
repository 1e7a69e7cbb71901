#include <cstdarg>
#include <cstdio>
#include <limits>
#include <type_traits>

#include "common/engine_api.h"
#include "road/map_file.h"
#include "road/map_file_layout.h"

namespace {

// The sections of a map file, in file order (city blocks and free items come before stamps).
enum section_t {
    nodes_s,
    aux_nodes_s,
    edges_s,
    aux_edges_s,
    signs_s,
    cityblocks_s,
    freeitems_s,
    stamps_s,
    miscs_s,
    section_count
};

constexpr size_t record_sizes[section_count] = {
    map_file_record_size<map_node_t>,     map_file_record_size<map_aux_node_t>, map_file_record_size<map_edge_t>,
    map_file_record_size<map_aux_edge_t>, map_file_record_size<map_sign_t>,     map_file_record_size<map_cityblock_t>,
    map_file_record_size<map_freeitem_t>, map_file_record_size<map_stamp_t>,    map_file_record_size<map_miscitem_t>};
constexpr const char* section_names[section_count] = {"node",       "aux node",  "edge",  "aux edge", "sign",
                                                      "city block", "free item", "stamp", "misc item"};

// Bytes of the start position that ends the map data.
constexpr size_t start_position_size = 12;

// Current count of the array a section reads into.
int32_t array_count(const road_network_t& network, const int section)
{
    switch (section) {
    case nodes_s:
        return network.nodes.count;
    case aux_nodes_s:
        return network.aux_nodes.count;
    case edges_s:
        return network.edges.count;
    case aux_edges_s:
        return network.aux_edges.count;
    case signs_s:
        return network.signs.count;
    case cityblocks_s:
        return network.cityblocks.count;
    case freeitems_s:
        return network.freeitems.count;
    case stamps_s:
        return network.stamps.count;
    default:
        return network.miscitems.count;
    }
}

// Capacity an array of `count` records is grown to when it holds less (stamps come four to an edge
// and get a generous margin).
int64_t capacity_target(const int section, const int64_t count)
{
    switch (section) {
    case nodes_s:
    case aux_nodes_s:
        return (count / map_node_step + 1) * map_node_step;
    case edges_s:
    case aux_edges_s:
        return (count / map_edge_step + 1) * map_edge_step;
    case stamps_s:
        return count / 16 * 256 + 64;
    default:
        return (count / map_item_step + 1) * map_item_step;
    }
}

// One map read: the file's counts and where each section starts, checked, then applied.
class map_reader_t {
public:
    map_reader_t(road_network_t& network, const uint8_t* bytes, const size_t size, const vec3_t* offset,
                 const char* name)
        : network_(network), bytes_(bytes), size_(size), offset_(offset), name_(name ? name : "")
    {
        for (int s = 0; s < section_count; ++s)
            old_counts_[s] = array_count(network, s);
        old_semaphores_ = network.semaphore_count;
    }

    // Reads the header and the section counts, and checks every record. False (reported) when refused.
    bool check();
    // Grows the arrays; false (reported) when memory runs out, with no record changed.
    bool grow(int64_t& allocated);
    // Copies the records into place and answers the bytes read.
    int32_t apply();

private:
    bool refuse(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool take_word(uint32_t& out);
    // Limit of the indices into a section's array that a record of the file may hold.
    int64_t limit(const int section) const
    {
        return offset_ ? file_counts_[section] : static_cast<int64_t>(old_counts_[section]) + file_counts_[section];
    }
    // True when `index` is -1 or names a record of the array of `section` once the file is read.
    bool index_ok(const int32_t index, const int section) const
    {
        return index == -1 || (index >= 0 && index < limit(section));
    }
    bool check_indices(const int32_t* indices, int count, int section, int record_section, int32_t record);
    bool check_records();
    // Index `index` moved past the records already held (-1 stays -1).
    static int32_t shifted(const int32_t index, const int32_t base) { return index == -1 ? -1 : index + base; }
    const uint8_t* record_bytes(const int section, const int32_t i) const
    {
        return bytes_ + offsets_[section] + static_cast<size_t>(i) * record_sizes[section];
    }
    template <typename T, bool S> void read_section(map_array_t<T, S>& array, int section);
    void place(map_node_t& node);
    void place(map_aux_node_t& node);
    void place(map_edge_t& edge, int32_t index);
    void place(map_aux_edge_t& edge);
    void place(map_sign_t& sign);
    void place(map_cityblock_t& block);
    void place(map_freeitem_t& item);
    void place(map_stamp_t&) {}
    void place(map_miscitem_t& item);

    road_network_t& network_;
    const uint8_t* bytes_;
    size_t size_;
    const vec3_t* offset_;
    const char* name_;
    size_t position_ = 0;
    int32_t old_counts_[section_count] = {};
    int32_t file_counts_[section_count] = {};
    size_t offsets_[section_count] = {};
    int32_t old_semaphores_ = 0;
    int32_t file_semaphores_ = 0;
};

bool map_reader_t::refuse(const char* format, ...)
{
    char detail[256];
    va_list args;
    va_start(args, format);
    vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    api::error("Map file %s is damaged: %s", name_, detail);
    return false;
}

bool map_reader_t::take_word(uint32_t& out)
{
    if (size_ - position_ < 4)
        return false;
    out = map_file_get_u32(bytes_ + position_);
    position_ += 4;
    return true;
}

bool map_reader_t::check()
{
    uint32_t word = 0;
    if (!take_word(word))
        return refuse("it ends before its version");
    if (static_cast<int32_t>(word) != map_file_version) {
        api::error("Incorrect map version.");
        return false;
    }
    if (!take_word(word))
        return refuse("it ends before its semaphore count");
    file_semaphores_ = static_cast<int32_t>(word);
    if (file_semaphores_ < 0)
        return refuse("the semaphore count %d is negative", file_semaphores_);
    if (static_cast<int64_t>(old_semaphores_) + file_semaphores_ > std::numeric_limits<int32_t>::max())
        return refuse("the semaphore count %d is too large", file_semaphores_);
    for (int s = 0; s < section_count; ++s) {
        if (!take_word(word))
            return refuse("it ends before its %s count", section_names[s]);
        const int32_t count = static_cast<int32_t>(word);
        if (count < 0)
            return refuse("the %s count %d is negative", section_names[s], count);
        if (static_cast<uint64_t>(count) * record_sizes[s] > size_ - position_)
            return refuse("it ends inside its %d %s records", count, section_names[s]);
        if (capacity_target(s, static_cast<int64_t>(old_counts_[s]) + count) > std::numeric_limits<int32_t>::max())
            return refuse("the %s count %d is too large", section_names[s], count);
        file_counts_[s] = count;
        offsets_[s] = position_;
        position_ += static_cast<size_t>(count) * record_sizes[s];
    }
    if (size_ - position_ < start_position_size)
        return refuse("it ends before its start position");
    if (position_ + start_position_size > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return refuse("its map data is larger than 2 GB");
    return check_records();
}

bool map_reader_t::check_indices(const int32_t* indices, const int count, const int section, const int record_section,
                                 const int32_t record)
{
    for (int i = 0; i < count; ++i) {
        if (!index_ok(indices[i], section))
            return refuse("%s %d names %s %d, of %lld", section_names[record_section], record, section_names[section],
                          indices[i], static_cast<long long>(limit(section)));
    }
    return true;
}

bool map_reader_t::check_records()
{
    for (int32_t i = 0; i < file_counts_[nodes_s]; ++i) {
        const map_node_t node = map_file_decode<map_node_t>(record_bytes(nodes_s, i));
        if (!check_indices(node.links, 2, edges_s, nodes_s, i))
            return false;
    }
    for (int32_t i = 0; i < file_counts_[aux_nodes_s]; ++i) {
        const map_aux_node_t node = map_file_decode<map_aux_node_t>(record_bytes(aux_nodes_s, i));
        if (!check_indices(node.links, 2, aux_edges_s, aux_nodes_s, i))
            return false;
    }
    const int64_t semaphore_limit =
        offset_ ? file_semaphores_ : static_cast<int64_t>(old_semaphores_) + file_semaphores_;
    for (int32_t i = 0; i < file_counts_[edges_s]; ++i) {
        const map_edge_t edge = map_file_decode<map_edge_t>(record_bytes(edges_s, i));
        if (!check_indices(edge.nodes, 4, nodes_s, edges_s, i) || !check_indices(&edge.sign, 1, signs_s, edges_s, i))
            return false;
        // Ids below -1 are repaired when read; an id past the map's semaphores cannot be.
        if (edge.semaphore >= semaphore_limit)
            return refuse("edge %d names semaphore %d, of %lld", i, edge.semaphore,
                          static_cast<long long>(semaphore_limit));
        if (edge.stamp != -1 && (edge.stamp < 0 || edge.stamp + int64_t{map_stamp_group_size} > limit(stamps_s)))
            return refuse("edge %d names stamps %d to %lld, of %lld", i, edge.stamp,
                          edge.stamp + static_cast<long long>(map_stamp_group_size) - 1,
                          static_cast<long long>(limit(stamps_s)));
        if (edge.kind == map_edge_city_road) {
            const int32_t blocks[2] = {edge.sides[0].profile, edge.sides[1].profile};
            if (!check_indices(blocks, 2, cityblocks_s, edges_s, i))
                return false;
        }
    }
    for (int32_t i = 0; i < file_counts_[aux_edges_s]; ++i) {
        const map_aux_edge_t edge = map_file_decode<map_aux_edge_t>(record_bytes(aux_edges_s, i));
        if (!check_indices(edge.nodes, 2, aux_nodes_s, aux_edges_s, i))
            return false;
    }
    for (int32_t i = 0; i < file_counts_[signs_s]; ++i) {
        const map_sign_t sign = map_file_decode<map_sign_t>(record_bytes(signs_s, i));
        if (!check_indices(&sign.edge, 1, edges_s, signs_s, i))
            return false;
    }
    for (int32_t i = 0; i < file_counts_[cityblocks_s]; ++i) {
        const map_cityblock_t block = map_file_decode<map_cityblock_t>(record_bytes(cityblocks_s, i));
        if (block.point_count < 0 || block.point_count > map_cityblock_max_points)
            return refuse("city block %d has %d points, more than %d or fewer than 0", i, block.point_count,
                          map_cityblock_max_points);
    }
    return true;
}

bool map_reader_t::grow(int64_t& allocated)
{
    allocated = 0;
    for (int s = 0; s < section_count; ++s) {
        const int64_t count = static_cast<int64_t>(old_counts_[s]) + file_counts_[s];
        const auto target = static_cast<int32_t>(capacity_target(s, count));
        int64_t bytes = 0;
        switch (s) {
        case nodes_s:
            bytes = network_.nodes.reserve(target);
            break;
        case aux_nodes_s:
            bytes = network_.aux_nodes.reserve(target);
            break;
        case edges_s:
            bytes = network_.edges.reserve(target);
            break;
        case aux_edges_s:
            bytes = network_.aux_edges.reserve(target);
            break;
        case signs_s:
            bytes = network_.signs.reserve(target);
            break;
        case cityblocks_s:
            bytes = network_.cityblocks.reserve(target);
            break;
        case freeitems_s:
            bytes = network_.freeitems.reserve(target);
            break;
        case stamps_s:
            bytes = network_.stamps.reserve(target);
            break;
        default:
            bytes = network_.miscitems.reserve(target);
            break;
        }
        if (bytes < 0) {
            api::error("Not enough memory for the %d %s records of map %s", file_counts_[s], section_names[s], name_);
            return false;
        }
        allocated += bytes;
    }
    return true;
}

void map_reader_t::place(map_node_t& node)
{
    if (offset_) {
        node.position += *offset_;
        node.links[0] = shifted(node.links[0], old_counts_[edges_s]);
        node.links[1] = shifted(node.links[1], old_counts_[edges_s]);
    }
}

void map_reader_t::place(map_aux_node_t& node)
{
    if (offset_) {
        node.position += *offset_;
        node.links[0] = shifted(node.links[0], old_counts_[aux_edges_s]);
        node.links[1] = shifted(node.links[1], old_counts_[aux_edges_s]);
    }
}

void map_reader_t::place(map_edge_t& edge, const int32_t index)
{
    if (edge.semaphore < -1) {
        api::error("Wrong semaphore id !!!!");
        edge.semaphore = -1;
    }
    if (map_edge_kind_is_prefab(edge.kind)) {
        if (edge.semaphore < 0)
            api::error("Prefab edge %d has wrong semaphore id", index);
        edge.noise_row = 0;
    }
    if (!offset_)
        return;
    edge.bounds.translate(offset_->x, offset_->y, offset_->z);
    for (int32_t& node : edge.nodes)
        node = shifted(node, old_counts_[nodes_s]);
    edge.sign = shifted(edge.sign, old_counts_[signs_s]);
    edge.semaphore = shifted(edge.semaphore, old_semaphores_);
    edge.stamp = shifted(edge.stamp, old_counts_[stamps_s]);
    if (edge.kind == map_edge_city_road) {
        for (map_edge_side_t& side : edge.sides)
            side.profile = shifted(side.profile, old_counts_[cityblocks_s]);
    }
}

void map_reader_t::place(map_aux_edge_t& edge)
{
    if (offset_) {
        edge.bounds.translate(offset_->x, offset_->y, offset_->z);
        edge.nodes[0] = shifted(edge.nodes[0], old_counts_[aux_nodes_s]);
        edge.nodes[1] = shifted(edge.nodes[1], old_counts_[aux_nodes_s]);
    }
}

void map_reader_t::place(map_sign_t& sign)
{
    if (offset_)
        sign.edge = shifted(sign.edge, old_counts_[edges_s]);
}

void map_reader_t::place(map_cityblock_t& block)
{
    if (offset_) {
        for (int p = 0; p < map_cityblock_max_points; ++p)
            block.points[p] += *offset_;
    }
}

void map_reader_t::place(map_freeitem_t& item)
{
    if (offset_) {
        item.position += *offset_;
        item.bounds.translate(offset_->x, offset_->y, offset_->z);
    }
}

void map_reader_t::place(map_miscitem_t& item)
{
    if (item.type == map_misc_headquarters)
        item.model_words[0] = 1;
    if (offset_) {
        for (vec3_t& point : item.points)
            point += *offset_;
        item.bounds.translate(offset_->x, offset_->y, offset_->z);
    }
}

template <typename T, bool S> void map_reader_t::read_section(map_array_t<T, S>& array, const int section)
{
    for (int32_t i = 0; i < file_counts_[section]; ++i) {
        T record = map_file_decode<T>(record_bytes(section, i));
        const int32_t index = old_counts_[section] + i;
        if constexpr (std::is_same_v<T, map_edge_t>)
            place(record, index);
        else
            place(record);
        array.data[index] = record;
    }
    array.count = old_counts_[section] + file_counts_[section];
}

int32_t map_reader_t::apply()
{
    network_.semaphore_count = old_semaphores_ + file_semaphores_;
    read_section(network_.nodes, nodes_s);
    read_section(network_.aux_nodes, aux_nodes_s);
    read_section(network_.edges, edges_s);
    read_section(network_.aux_edges, aux_edges_s);
    read_section(network_.signs, signs_s);
    read_section(network_.cityblocks, cityblocks_s);
    read_section(network_.freeitems, freeitems_s);
    read_section(network_.stamps, stamps_s);
    read_section(network_.miscitems, miscs_s);
    if (!offset_) {
        const uint8_t* const start = bytes_ + position_;
        map_word_set(network_.start_position, 0, map_file_get_u32(start));
        map_word_set(network_.start_position, 1, map_file_get_u32(start + 4));
        map_word_set(network_.start_position, 2, map_file_get_u32(start + 8));
    }
    position_ += start_position_size;
    return static_cast<int32_t>(position_);
}

}  // namespace

int32_t map_file_read(road_network_t& network, const uint8_t* bytes, const size_t size, const vec3_t* offset,
                      const char* name, int64_t* out_allocated)
{
    map_reader_t reader(network, bytes, bytes ? size : 0, offset, name);
    int64_t allocated = 0;
    if (!reader.check() || !reader.grow(allocated))
        return -1;
    if (out_allocated)
        *out_allocated = allocated;
    return reader.apply();
}
