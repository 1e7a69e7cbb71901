#pragma once
#include <vector>

// Drawing batches of triangles or lines with one program: a vertex's colour times its picture's
// texel, optionally lit by one directional light, blended over what is there by its alpha.

// One vertex as the painter hands it over.
struct gl_vertex_t {
    float position[3];
    float uv[2];
    float colour[4];  // red, green, blue, alpha, 0 to 1
    float normal[3];  // world space; read only by lit batches
};

// What a batch shares. Matrices use the engine's convention (column vectors, stored row by row).
struct gl_batch_state_t {
    float transform[16];  // vertex position to clip space
    unsigned texture = 0;
    int lines = 0;        // 1 lines, 0 triangles
    int depth_test = 0;   // 1 tests depth
    int depth_write = 1;  // with depth_test: 1 also writes it
    int lit = 0;          // 1 applies the light below
    float ambient[3] = {0, 0, 0};
    float diffuse[3] = {0, 0, 0};
    float light_direction[3] = {0, 1, 0};  // towards the light, unit
    int viewport[4] = {0, 0, 0, 0};        // left, bottom, width, height in target pixels
    int scissor[4] = {0, 0, 0, 0};
};

// True when the two states draw alike (a batch can go on).
bool gl_same_state(const gl_batch_state_t& a, const gl_batch_state_t& b);

// Draws the vertices (three a triangle or two a line) with the state; false when the program cannot
// be built (reported once).
bool gl_draw(const gl_batch_state_t& state, const std::vector<gl_vertex_t>& vertices);

// Fills the bound target with a colour and clears its depth (each by flag).
void gl_clear(bool colour, bool depth, const float* rgba);
