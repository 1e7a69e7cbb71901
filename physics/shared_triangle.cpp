#include "physics/shared_triangle.h"

#include "engine/reset.h"
#include "common/engine_api.h"
#include "physics/polyhedron.h"

namespace {

// The triangle and the vertex array its features point into.
struct shared_triangle_t {
    vec3_t vertices[3];
    cd_polyhedron_t polyhedron;
};

shared_triangle_t* triangle = nullptr;
int uses = 0;

void free_triangle()
{
    delete triangle;
    triangle = nullptr;
    uses = 0;
}

// An engine reset forgets the objects that held uses; the triangle goes with them.
const engine_reset_registrar_t reset_registrar(reset_order_entities + 50, free_triangle);

}  // namespace

void shared_triangle_acquire()
{
    if (uses++ > 0)
        return;
    static const int faces[] = {0, 1, 2, 0, 2, 1};
    triangle = new shared_triangle_t;
    triangle->polyhedron.set_vertices(triangle->vertices, 3);
    triangle->polyhedron.build_faces(faces, 3, 2);
    triangle->polyhedron.prepare();
}

void shared_triangle_release()
{
    if (uses <= 0) {
        if (api::error)
            api::error("shared_triangle_release: the shared triangle has no use to give back");
        return;
    }
    if (--uses == 0)
        free_triangle();
}

int shared_triangle_uses() { return uses; }

cd_polyhedron_t* shared_triangle_set(const vec3_t& a, const vec3_t& b, const vec3_t& c)
{
    if (!triangle)
        return nullptr;
    triangle->vertices[0] = a;
    triangle->vertices[1] = b;
    triangle->vertices[2] = c;
    triangle->polyhedron.prepare();
    return &triangle->polyhedron;
}
