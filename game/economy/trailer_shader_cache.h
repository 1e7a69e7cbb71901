#pragma once
#include <string>
#include <vector>

struct c_item_t;

// The shaders of the trailers that the cargos name, loaded once when the cargos are read so that a
// trailer placed at a dock finds them resident. Each shader's use is held until release.
class trailer_shader_cache_t {
public:
    trailer_shader_cache_t() = default;
    ~trailer_shader_cache_t() { release(); }
    trailer_shader_cache_t(const trailer_shader_cache_t&) = delete;
    trailer_shader_cache_t& operator=(const trailer_shader_cache_t&) = delete;

    // Loads the shaders of trailer make `make`'s base accessories (listed from "access1"), each from the
    // accessory's folder or else from the make's shared folder; a make met before is skipped.
    void precache(const char* make);
    // Gives every use back.
    void release();
    // Shaders held.
    size_t size() const { return items_.size(); }

private:
    std::vector<std::string> makes_;
    std::vector<c_item_t*> items_;
};
