#include "road/road_def.h"

size_t road_section_t::bytes() const
{
    return positions.size() * sizeof(vec3_t) + normals.size() * sizeof(vec3_t) + uvs.size() * sizeof(float) +
           t.size() * sizeof(float) + partner.size() * sizeof(int32_t) + indices.size() * sizeof(uint16_t) +
           triangle_words.size() * sizeof(uint16_t);
}
