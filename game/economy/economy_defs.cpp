#include "game/economy/economy_defs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/cache.h"
#include "engine/def_pool.h"
#include "engine/random.h"
#include "engine/text.h"
#include "engine/vfs.h"
#include "common/engine_api.h"

namespace {

// Bytes a definition path may take.
constexpr size_t def_path_size = 256;

// Copies `text` into `out` of `size` bytes, cut to fit and always ended.
void copy_text(char* out, const size_t size, const char* text)
{
    if (size == 0)
        return;
    std::snprintf(out, size, "%s", text ? text : "");
}

// The object `object` of the definition file `path`, looked up while `item` holds the file; null when
// the file cannot be loaded (reported) or has no such object.
class def_reader_t {
public:
    def_reader_t(const char* path, const char* object)
    {
        item_ = api::mm_precache(path);
        const auto* const pool = item_ ? static_cast<const def_pool_t*>(item_->object) : nullptr;
        if (!pool) {
            api::error("Unable to load def %s", path);
            return;
        }
        loaded_ = true;
        object_ = pool->find(object);
    }
    ~def_reader_t()
    {
        if (item_)
            api::ci_dec_refs(item_);
    }
    def_reader_t(const def_reader_t&) = delete;
    def_reader_t& operator=(const def_reader_t&) = delete;

    bool loaded() const { return loaded_; }
    const def_obj_t* object() const { return object_; }

private:
    c_item_t* item_ = nullptr;
    bool loaded_ = false;
    const def_obj_t* object_ = nullptr;
};

// Whether `name` ends in `extension` (its first occurrence, ignoring case).
bool has_extension(const std::string& name, const char* extension)
{
    const char* const at = strcasestr(name.c_str(), extension);
    return at && at != name.c_str();
}

}  // namespace

// The names of the entries of `folder`; empty when it cannot be opened.
std::vector<std::string> list_folder(const char* folder)
{
    std::vector<std::string> names;
    const int dir = api::vfs_open(folder, 0, 0);
    if (dir < 0)
        return names;
    char piece[128];
    for (;;) {
        const long got = api::vfs_read(dir, piece, 127);
        if (got <= 0)
            break;
        bool ended = false;
        for (long at = 0; at < got;) {
            const size_t length = strnlen(piece + at, static_cast<size_t>(got - at));
            if (length == 0) {
                ended = true;
                break;
            }
            names.emplace_back(piece + at, length);
            at += static_cast<long>(length) + 1;
        }
        if (ended)
            break;
    }
    api::vfs_close(dir);
    return names;
}

bool is_entry(const char* folder, const std::string& name, const unsigned type)
{
    char path[def_path_size];
    if (std::snprintf(path, sizeof path, "%s/%s", folder, name.c_str()) >= static_cast<int>(sizeof path))
        return false;
    vfs_stat_t info{};
    return api::vfs_stat(path, &info) == 0 && (info.mode & vfs_mode_type_mask) == type;
}

int32_t nearest(const float value)
{
    // Prestige, income and damage come from saved files: a value past the whole numbers' range stops at
    // its end instead of converting to an undefined number.
    if (std::isnan(value))
        return 0;
    const float rounded = std::nearbyint(value);
    if (rounded >= 2147483648.0f)
        return INT32_MAX;
    if (rounded <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

int32_t draw_index(const float r, const int32_t count)
{
    return count > 1 ? nearest(r * static_cast<float>(count - 1)) : 0;
}

bool def_read_string(const char* path, const char* object, const char* key, char* out, const size_t size)
{
    copy_text(out, size, "");
    const def_reader_t reader(path, object);
    if (reader.object())
        copy_text(out, size, reader.object()->get_value(key));
    return reader.loaded();
}

bool def_has_object(const char* path, const char* object)
{
    const def_reader_t reader(path, object);
    return reader.loaded() && reader.object();
}

// Splits `text` at `separator` into at most `limit` pieces (empty pieces dropped).
std::vector<std::string> split_def_list(const char* text, const char separator, const size_t limit)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (const char* c = text;; ++c) {
        if (*c == separator || *c == '\0') {
            if (!piece.empty() && pieces.size() < limit)
                pieces.push_back(piece);
            piece.clear();
            if (*c == '\0')
                break;
        } else {
            piece += *c;
        }
    }
    return pieces;
}

namespace {

// Reads number key `key` of object `object` in `path` with `get` (0 when the object or key is missing).
template <typename number_t, typename get_t>
bool def_read_number(const char* path, const char* object, const char* key, number_t& out, get_t get)
{
    out = 0;
    const def_reader_t reader(path, object);
    if (reader.object())
        out = get(*reader.object(), key);
    return reader.loaded();
}

}  // namespace

bool def_read_int(const char* path, const char* object, const char* key, int32_t& out)
{
    return def_read_number(path, object, key, out, [](const def_obj_t& o, const char* k) { return o.get_int(k); });
}

bool def_read_real(const char* path, const char* object, const char* key, float& out)
{
    return def_read_number(path, object, key, out, [](const def_obj_t& o, const char* k) { return o.get_real(k); });
}

namespace {

// A definition path of pattern `format` with one or two names; false when it does not fit.
bool def_path(char (&out)[def_path_size], const char* format, const char* a, const char* b = "")
{
    const int n = std::snprintf(out, sizeof out, format, a, b);
    return n >= 0 && n < static_cast<int>(sizeof out);
}

}  // namespace

#define KV_DEF_READERS(kind, pattern, object)                                                                          \
    bool kind##_def_string(const char* name, const char* key, char* out, size_t size)                                  \
    {                                                                                                                  \
        char path[def_path_size];                                                                                      \
        if (!def_path(path, pattern, name)) {                                                                          \
            copy_text(out, size, "");                                                                                  \
            return false;                                                                                              \
        }                                                                                                              \
        return def_read_string(path, object, key, out, size);                                                          \
    }
KV_DEF_READERS(city, "/defs/cities/%s.def", "city")
KV_DEF_READERS(cargo, "/defs/cargos/%s.def", "cargo")
KV_DEF_READERS(driver, "/defs/drivers/%s.def", "driver")
KV_DEF_READERS(dealer, "/defs/dealers/%s.def", "dealer")
KV_DEF_READERS(truck, "/makes/truck/%s/description.def", "truck")
#undef KV_DEF_READERS

#define KV_DEF_INT_READER(kind, pattern, object)                                                                       \
    bool kind##_def_int(const char* name, const char* key, int32_t& out)                                               \
    {                                                                                                                  \
        char path[def_path_size];                                                                                      \
        out = 0;                                                                                                       \
        return def_path(path, pattern, name) && def_read_int(path, object, key, out);                                  \
    }
KV_DEF_INT_READER(city, "/defs/cities/%s.def", "city")
KV_DEF_INT_READER(driver, "/defs/drivers/%s.def", "driver")
KV_DEF_INT_READER(dealer, "/defs/dealers/%s.def", "dealer")
KV_DEF_INT_READER(truck, "/makes/truck/%s/description.def", "truck")
#undef KV_DEF_INT_READER

bool truck_acc_def_string(const char* make, const char* accessory, const char* key, char* out, const size_t size)
{
    char path[def_path_size];
    if (!def_path(path, "/makes/truck/%s/acc/%s/!desc.def", make, accessory)) {
        copy_text(out, size, "");
        return false;
    }
    return def_read_string(path, "accessory", key, out, size);
}

bool truck_acc_def_int(const char* make, const char* accessory, const char* key, int32_t& out)
{
    char path[def_path_size];
    out = 0;
    return def_path(path, "/makes/truck/%s/acc/%s/!desc.def", make, accessory) &&
           def_read_int(path, "accessory", key, out);
}

std::vector<std::string> list_definition_files(const char* folder, const char* extension, const bool with_hidden)
{
    std::vector<std::string> files;
    for (const std::string& name : list_folder(folder)) {
        if (!is_entry(folder, name, vfs_mode_file))
            continue;
        if (!with_hidden && name[0] == '!')
            continue;
        if (extension && !has_extension(name, extension))
            continue;
        const size_t dot = name.find_last_of('.');
        files.push_back(dot == std::string::npos ? name : name.substr(0, dot));
    }
    return files;
}

std::vector<std::string> list_truck_makes()
{
    std::vector<std::string> makes;
    for (const std::string& name : list_folder("/makes/truck")) {
        if (name[0] == '.' || strcasecmp(name.c_str(), "police") == 0 ||
            !is_entry("/makes/truck", name, vfs_mode_folder))
            continue;
        char path[def_path_size];
        vfs_stat_t info{};
        if (def_path(path, "/makes/truck/%s/description.def", name.c_str()) && api::vfs_stat(path, &info) == 0)
            makes.push_back(name);
    }
    return makes;
}

int32_t find_city(const std::vector<city_t>& cities, const char* name)
{
    for (size_t i = 0; i < cities.size(); ++i)
        if (strcasecmp(cities[i].name, name) == 0)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t find_cargo(const std::vector<cargo_t>& cargos, const int32_t ordinary, const std::vector<cargo_t>& specials,
                   const char* name)
{
    for (int32_t i = 0; i < ordinary && i < static_cast<int32_t>(cargos.size()); ++i)
        if (strcasecmp(cargos[static_cast<size_t>(i)].name, name) == 0)
            return i;
    for (size_t k = 0; k < specials.size(); ++k)
        if (strcasecmp(specials[k].name, name) == 0)
            return special_cargo_base + static_cast<int32_t>(k);
    api::error("Unknown cargo :%s", name);
    return -1;
}

std::vector<city_t> load_city_defs()
{
    std::vector<city_t> cities;
    for (const std::string& file : list_definition_files("/defs/cities", ".def", false)) {
        city_t city{};
        copy_text(city.name, sizeof city.name, file.c_str());
        city_def_string(city.name, "name", city.display_name, sizeof city.display_name);
        for (int32_t& t : city.traders)
            t = -1;
        city.record_haul_score = 3000;
        city.master = -1;
        cities.push_back(city);
    }
    return cities;
}

void load_cargo_defs(std::vector<cargo_t>& out_cargos, std::vector<cargo_t>& out_specials)
{
    std::vector<cargo_t> all;
    std::vector<bool> special;
    for (const std::string& file : list_definition_files("/defs/cargos", ".def", false)) {
        cargo_t cargo{};
        copy_text(cargo.name, sizeof cargo.name, file.c_str());
        cargo.record_deliveries = 5;
        cargo.record_company = -1;
        char path[def_path_size];
        def_path(path, "/defs/cargos/%s.def", cargo.name);
        const def_reader_t reader(path, "cargo");
        if (const def_obj_t* const def = reader.object()) {
            copy_text(cargo.trailer, sizeof cargo.trailer, def->get_value("trailer"));
            cargo.variant = static_cast<int16_t>(def->get_int("variant"));
            cargo.income = static_cast<int16_t>(nearest(static_cast<float>(def->get_int("income")) * 0.8f));
            if (def->get_int("can_overweight") != 0)
                cargo.flags |= cargo_can_overweight;
            cargo.weight = def->get_real("weight");
            cargo.fragility = def->get_real("fragility");
            const char* const type = def->get_value("type");
            special.push_back(type && std::strcmp(type, "@@ct_specials@@") == 0);
        } else {
            special.push_back(false);
        }
        all.push_back(cargo);
    }
    out_specials.clear();
    std::vector<cargo_t> ordinary;
    for (size_t i = 0; i < all.size(); ++i)
        (special[i] ? out_specials : ordinary).push_back(all[i]);
    out_cargos.clear();
    const auto kept = std::min<size_t>(economy_max_cargos, ordinary.size());
    const size_t start =
        ordinary.empty() ? 0 : static_cast<size_t>(draw_index(sys_rand(), static_cast<int32_t>(ordinary.size())));
    for (size_t i = 0; i < kept; ++i)
        out_cargos.push_back(ordinary[(start + i) % ordinary.size()]);
    out_cargos.push_back(cargo_t{});
}

std::vector<driver_t> load_driver_defs(const std::vector<city_t>& cities, const std::vector<cargo_t>& cargos,
                                       const std::vector<cargo_t>& specials)
{
    std::vector<driver_t> drivers;
    const auto ordinary = static_cast<int32_t>(cargos.size()) - 1;
    for (const std::string& file : list_definition_files("/defs/drivers", ".def", false)) {
        driver_t driver{};
        copy_text(driver.name, sizeof driver.name, file.c_str());
        driver.flags = 30;
        driver.company = -1;
        int32_t low = 0, high = 0, value = 0;
        driver_def_int(driver.name, "salary_min", low);
        driver_def_int(driver.name, "salary_max", high);
        driver.salary = static_cast<int32_t>(sys_rand() * static_cast<float>(high - low) + static_cast<float>(low));
        for (int i = 0; i < 3; ++i)
            driver.pref_cities[i] = driver.pref_cargos[i] = -1;
        char list[512];
        driver_def_string(driver.name, "pref_city", list, sizeof list);
        int slot = 0;
        for (const std::string& name : split_def_list(list, ';', 3))
            driver.pref_cities[slot++] = static_cast<int8_t>(find_city(cities, name.c_str()));
        driver_def_string(driver.name, "pref_cargo", list, sizeof list);
        slot = 0;
        for (const std::string& name : split_def_list(list, ';', 3)) {
            const int32_t cargo = find_cargo(cargos, ordinary, specials, name.c_str());
            driver.pref_cargos[slot++] = static_cast<int8_t>(cargo >= 0 && cargo < ordinary ? cargo : -1);
        }
        for (int32_t& job : driver.jobs)
            job = -1;
        driver_def_int(driver.name, "voice", value);
        driver.voice = static_cast<int8_t>(value);
        driver_def_int(driver.name, "prestige", value);
        driver.prestige = static_cast<int8_t>(std::clamp(value, 0, 100));
        drivers.push_back(driver);
    }
    return drivers;
}

namespace {

// Resolves a trader's ";"-separated cargo list into `out` (names that do not exist dropped); -1 for "!all".
int32_t resolve_cargo_list(const char* text, int32_t* out, const size_t capacity, const std::vector<cargo_t>& cargos,
                           const std::vector<cargo_t>& specials)
{
    if (std::strstr(text, "!all"))
        return -1;
    int32_t count = 0;
    for (const std::string& name : split_def_list(text, ';', capacity)) {
        const int32_t cargo = find_cargo(cargos, static_cast<int32_t>(cargos.size()) - 1, specials, name.c_str());
        if (cargo != -1)
            out[count++] = cargo;
    }
    return count;
}

}  // namespace

std::vector<trader_t> load_trader_defs(std::vector<city_t>& cities, const std::vector<cargo_t>& cargos,
                                       const std::vector<cargo_t>& specials)
{
    std::vector<trader_t> traders;
    for (const std::string& file : list_definition_files("/defs/traders", ".def", false)) {
        trader_t trader{};
        copy_text(trader.name, sizeof trader.name, file.c_str());
        trader.dock = -1;
        trader.first_job = -1;
        char path[def_path_size];
        def_path(path, "/defs/traders/%s.def", trader.name);
        const def_reader_t reader(path, "trader");
        trader.city = -1;
        if (const def_obj_t* const def = reader.object()) {
            char text[512];
            copy_text(text, sizeof text, def->get_value("accept"));
            trader.accepted_count = resolve_cargo_list(text, trader.accepted, 33, cargos, specials);
            copy_text(text, sizeof text, def->get_value("produce"));
            trader.produced_count = resolve_cargo_list(text, trader.produced, 32, cargos, specials);
            const char* const location = def->get_value("location");
            const int32_t city = location ? find_city(cities, location) : -1;
            if (city != -1) {
                city_t& record = cities[static_cast<size_t>(city)];
                if (record.trader_count >= city_max_traders) {
                    api::error("Maximum trader count exceeded for trader %s in city %s", trader.name, record.name);
                } else {
                    trader.city = city;
                    record.traders[record.trader_count++] = static_cast<int32_t>(traders.size());
                }
            }
            copy_text(trader.icon_shader, sizeof trader.icon_shader, def->get_value("ico_shd"));
        }
        traders.push_back(trader);
    }
    return traders;
}

std::vector<dealer_t> load_dealer_defs()
{
    std::vector<dealer_t> dealers;
    for (const std::string& file : list_definition_files("/defs/dealers", nullptr, true)) {
        char path[def_path_size];
        if (!def_path(path, "/defs/dealers/%s.def", file.c_str()))
            continue;
        const def_reader_t reader(path, "dealer");
        if (!reader.object())
            continue;
        dealer_t dealer{};
        copy_text(dealer.name, sizeof dealer.name, file.c_str());
        dealers.push_back(dealer);
    }
    return dealers;
}

bool truck_accessory_slots(const char* make, char* out, const size_t size)
{
    copy_text(out, size, "");
    std::string list;
    for (int i = 0; i < truck_accessory_count; ++i) {
        char key[32];
        char name[64];
        std::snprintf(key, sizeof key, "access%d", i);
        truck_def_string(make, key, name, sizeof name);
        if (name[0] == '\0')
            break;
        if (!list.empty())
            list += '|';
        list += name;
    }
    copy_text(out, size, list.c_str());
    return !list.empty();
}

void truck_standard_accessories(company_truck_t& truck)
{
    std::memset(truck.accessories, 0, sizeof truck.accessories);
    char list[truck_accessory_count * 33];
    truck_accessory_slots(truck.make, list, sizeof list);
    size_t slot = 0;
    for (const std::string& name : split_def_list(list, '|', truck_accessory_count))
        copy_text(truck.accessories[slot++], sizeof truck.accessories[0], name.c_str());
}

bool truck_acc_def_stats(const char* make, const char* accessory, int32_t& out_price)
{
    out_price = 0;
    char path[def_path_size];
    if (!def_path(path, "/makes/truck/%s/acc/%s/!desc.def", make, accessory))
        return false;
    int32_t power = 0, handling = 0, prestige = 0, make_price = 0;
    char type[24];
    if (!truck_acc_def_int(make, accessory, "power", power))
        return false;
    truck_acc_def_int(make, accessory, "handling", handling);
    truck_acc_def_int(make, accessory, "prestige", prestige);
    truck_acc_def_string(make, accessory, "type", type, sizeof type);
    truck_def_int(make, "price", make_price);
    const float s = static_cast<float>(power + handling + prestige);
    int32_t p = static_cast<int32_t>(s * static_cast<float>(make_price) * 0.0015f) / 100 * 100;
    p = std::max(p, 100);
    if (std::strcmp(type, "brakes") == 0)
        p = std::min(p, 7000);
    else if (std::strcmp(type, "wheels") == 0)
        p = std::min(p, 5000);
    int32_t sum = 0;
    for (const char* c = path; *c; ++c)
        sum += static_cast<signed char>(*c);
    randomizer_t noise(static_cast<uint32_t>(10 * sum));
    const float q = noise.rand();
    out_price = p + static_cast<int32_t>(q * static_cast<float>(p) * 0.1f);
    return true;
}
