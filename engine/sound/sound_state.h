#pragma once

// State the sound family's files share.

// Whether sounds of `tag` may be heard now.
bool sound_tag_enabled(int tag);
// Default near and far distances of a new sound.
void sound_default_distances(float& near_distance, float& far_distance);
// Size in bytes of a sound file in the virtual file system; false when it does not exist.
bool sound_file_size(const char* path, long long& size);
