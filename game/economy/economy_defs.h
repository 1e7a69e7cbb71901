#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/economy/economy_records.h"

// The economy's definition files: generic readers of one key, the listing of a definition folder and
// the loaders that fill the records of a new game from "/defs/cities", "/defs/cargos", "/defs/drivers",
// "/defs/traders" and "/defs/dealers".

// The nearest whole number, ties to even; values past the range stop at its ends, NaN gives 0.
int32_t nearest(float value);
// An index 0 to count - 1 drawn from `r` in [0, 1) by nearest(r x (count - 1)); 0 when there is at most
// one to choose from.
int32_t draw_index(float r, int32_t count);

// Reads text key `key` of object `object` in the definition file `path` into `out` (size - 1
// characters at most; empty when the object or key is missing). False, reported "Unable to load def
// %s", when the file cannot be loaded.
bool def_read_string(const char* path, const char* object, const char* key, char* out, size_t size);
// The same for a whole number (0 when missing).
bool def_read_int(const char* path, const char* object, const char* key, int32_t& out);
bool def_read_real(const char* path, const char* object, const char* key, float& out);
// Splits `text` at `separator` into at most `limit` pieces (empty pieces dropped).
std::vector<std::string> split_def_list(const char* text, char separator, size_t limit);
// True when the definition file at `path` loads and holds `object`.
bool def_has_object(const char* path, const char* object);

bool city_def_string(const char* city, const char* key, char* out, size_t size);
bool city_def_int(const char* city, const char* key, int32_t& out);
bool cargo_def_string(const char* cargo, const char* key, char* out, size_t size);
bool driver_def_string(const char* driver, const char* key, char* out, size_t size);
bool driver_def_int(const char* driver, const char* key, int32_t& out);
bool dealer_def_string(const char* dealer, const char* key, char* out, size_t size);
bool dealer_def_int(const char* dealer, const char* key, int32_t& out);
bool truck_def_string(const char* make, const char* key, char* out, size_t size);
bool truck_def_int(const char* make, const char* key, int32_t& out);
bool truck_acc_def_string(const char* make, const char* accessory, const char* key, char* out, size_t size);
bool truck_acc_def_int(const char* make, const char* accessory, const char* key, int32_t& out);

// The names of the entries of `folder` (a folder of the file system, without its trailing "/"), in
// listing order; empty when it cannot be opened.
std::vector<std::string> list_folder(const char* folder);
// Whether `folder`/`name` exists and its type bits (vfs_mode_type_mask) are `type`.
bool is_entry(const char* folder, const std::string& name, unsigned type);

// The regular files of folder `folder` whose names do not begin with "!" (all of them with
// `with_hidden`), and with `extension` when given (compared ignoring case), in listing order; each
// name without the text from its last ".".
std::vector<std::string> list_definition_files(const char* folder, const char* extension, bool with_hidden);
// The truck makes: the folders of "/makes/truck" that hold a "description.def", except "police".
std::vector<std::string> list_truck_makes();

// Index of a city by file name (ignoring case), or -1.
int32_t find_city(const std::vector<city_t>& cities, const char* name);
// Index of a cargo by file name (ignoring case); special cargo k gives 0x100000 + k; -1, reported
// "Unknown cargo :%s", when none. `ordinary` counts the ordinary cargos (the spare record excluded).
int32_t find_cargo(const std::vector<cargo_t>& cargos, int32_t ordinary, const std::vector<cargo_t>& specials,
                   const char* name);

std::vector<city_t> load_city_defs();
// The ordinary cargos (at most 40, a window that starts at random, and a spare record) and the special ones.
void load_cargo_defs(std::vector<cargo_t>& out_cargos, std::vector<cargo_t>& out_specials);
std::vector<driver_t> load_driver_defs(const std::vector<city_t>& cities, const std::vector<cargo_t>& cargos,
                                       const std::vector<cargo_t>& specials);
std::vector<trader_t> load_trader_defs(std::vector<city_t>& cities, const std::vector<cargo_t>& cargos,
                                       const std::vector<cargo_t>& specials);
std::vector<dealer_t> load_dealer_defs();

// The standard accessories of a truck make, "|"-separated, into `out`; false when the make has none.
bool truck_accessory_slots(const char* make, char* out, size_t size);
// Fills a truck's accessories with its make's standard ones.
void truck_standard_accessories(company_truck_t& truck);
// The price of an accessory of a make; false when its definition cannot be read.
bool truck_acc_def_stats(const char* make, const char* accessory, int32_t& out_price);
