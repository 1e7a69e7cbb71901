#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_info_scan.h"
#include "behaviour/psb_layer_entry.h"

struct psm_info_t;

// An info file as it is read: the model it animates, its looks (shaders per look), its layers with
// everything they name, and the sound files their blocks play. It lives only while the info loads
// and compiles.

// The shader a skipped place of a look takes.
constexpr const char* psb_skipped_shader = "/shaders/specials/notfound.shd";

// One look: its shader file names in order.
struct psb_look_t {
    std::string name;
    std::vector<std::string> shaders;
};

class psb_info_t : public psb_info_actions_t {
public:
    // The info read from the file `name`, whose directory relative file names are taken from.
    explicit psb_info_t(const char* name);
    // Releases the model unless it was taken.
    ~psb_info_t() override;
    psb_info_t(const psb_info_t&) = delete;
    psb_info_t& operator=(const psb_info_t&) = delete;

    bool set_model(const char* file) override;
    bool add_layer(const char* file) override;
    void begin_look(const char* name) override;
    void add_shader(const char* file) override;
    void add_skip(int32_t count) override;
    // The 0-based index of a sound file name (registered on first use); -1 when it is too long.
    int32_t find_sound(const char* name);

    // Reads and parses the info file; false when it is missing or does not parse.
    bool read(const char* name);

    const std::string& directory() const { return directory_; }
    psm_info_t* model() const { return model_; }
    // Hands the model to the compiled block, which releases it when it is freed.
    psm_info_t* take_model();
    const std::vector<std::unique_ptr<psb_layer_entry_t>>& layers() const { return layers_; }
    const std::vector<psb_look_t>& looks() const { return looks_; }
    const std::vector<std::string>& sounds() const { return sounds_; }

private:
    std::string directory_;
    psm_info_t* model_ = nullptr;
    std::vector<std::unique_ptr<psb_layer_entry_t>> layers_;
    std::vector<psb_look_t> looks_;
    // The look being read was refused: its shaders and skips are ignored.
    bool look_error_ = true;
    std::vector<std::string> sounds_;
    std::map<std::string, int32_t> sound_ids_;
};
