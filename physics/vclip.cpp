#include "physics/vclip.h"

#include "common/engine_api.h"
#include "physics/vclip_walk.h"

namespace {

// Steps after which a walk that has not ended counts as cycling.
constexpr int max_iterations = 100;

// Logs through the bound engine, when it is bound.
template <typename... args_t> void report_error(const char* format, args_t... args)
{
    if (api::error)
        api::error(format, args...);
}

}  // namespace

float vclip_run(const cd_polyhedron_t& first, const axial_t& first_frame, const cd_polyhedron_t& second,
                const axial_t& second_frame, const cd_feature_t*& first_feature_inout,
                const cd_feature_t*& second_feature_inout, vec3_t& first_point_out, vec3_t& second_point_out)
{
    if (first.vertices().empty() || second.vertices().empty()) {
        report_error("vclip_run: a polyhedron without vertices has no closest features");
        return vclip_failed;
    }
    vclip_walk_t walk(first, first_frame, second, second_frame,
                      first_feature_inout ? first_feature_inout : &first.vertices().front(),
                      second_feature_inout ? second_feature_inout : &second.vertices().front());
    int iterations = 0;
    vclip_answer_t answer = vclip_continue;
    do {
        answer = walk.step();
        ++iterations;
    } while (answer == vclip_continue && iterations <= max_iterations);
    first_feature_inout = walk.first_feature();
    second_feature_inout = walk.second_feature();
    if (iterations > max_iterations) {
        report_error("V-Clip cycle detected -> exiting");
        return vclip_failed;
    }
    first_point_out = walk.first_point();
    second_point_out = walk.second_point();
    return walk.distance();
}
