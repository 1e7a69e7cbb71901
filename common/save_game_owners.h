#pragma once
#include <cstdint>

// The parts of a world that keep state in a save game. Each owner writes and reads its own section,
// which it opens with a text magic of its own; the container only fixes their order.

// One part of the world that keeps a section of the save game.
class save_section_owner_t {
public:
    virtual ~save_section_owner_t() = default;
    // Writes the section at the file's position; answers the bytes written, or -1 when it could not.
    virtual int32_t save(int file) = 0;
    // Reads the section written for save `version` at the file's position without changing anything;
    // answers the bytes load would read (the file is left after them), or -1 when load would refuse the
    // section. The container checks every section this way before any owner loads.
    virtual int32_t check(int file, int32_t version) = 0;
    // Reads the section written for save `version`; answers the bytes read, or -1 when the section's
    // magic does not match (then it has changed nothing).
    virtual int32_t load(int file, int32_t version) = 0;
    // Called once the whole save game was read, to re-apply what the fields alone do not show; most
    // owners have nothing to do.
    virtual void after_load() {}
};

// The owner of the time-stamp trailer (the economy controller): see common/save_timestamp.h.
class save_timestamp_owner_t {
public:
    virtual ~save_timestamp_owner_t() = default;
    // Writes the 24-byte trailer; answers 24, or -1 when it could not.
    virtual int32_t save_timestamp_write(int file) = 0;
    // Reads the trailer; answers 24, or -1 when its magic does not match.
    virtual int32_t save_timestamp_read(int file) = 0;
    // Sets the trailer's own value back to its default once a save game was read.
    virtual void save_timestamp_default() = 0;
};

// Sections of a save game, in file order.
enum save_section_id_t : int {
    save_section_environment = 0,
    save_section_game_ctrl = 1,
    save_section_traffic = 2,
    save_section_economy = 3,
    save_section_count = 4,
};

// The owners one save game is written by and read into.
struct save_game_owners_t {
    // Indexed by save_section_id_t.
    save_section_owner_t* sections[save_section_count] = {};
    // The trailer's owner.
    save_timestamp_owner_t* timestamp = nullptr;
};

// Checks one section at the file's position without a world, as the owner's check does: answers the
// bytes the section spans (the file left after them), or -1 (with a message) when a load would refuse it.
using save_section_check_t = int32_t (*)(int file, int32_t version);

// The checks of every section, so a save game can be checked whole before a world is built for it.
struct save_game_checks_t {
    // Indexed by save_section_id_t.
    save_section_check_t sections[save_section_count] = {};
};

// The name of a section in messages ("environment", "game controller", "traffic", "economy").
const char* save_section_name(int section);
