#pragma once
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "engine/bmem.h"
#include "engine/spatialhash.h"
#include "engine/vdatalist.h"
#include "engine/vec.h"
#include "engine/vptrlist.h"
#include "physics/cd_query_context.h"
#include "physics/contact_list.h"
#include "physics/phys_pair.h"
#include "physics/phys_pair_hit.h"
#include "physics/phys_pose.h"
#include "physics/phys_profile.h"
#include "physics/tri_query.h"

class cd_geo_t;
class phys_body_t;
class cvar_t;
struct cd_bvnode_t;

// The physics world of one scene. Every geometry that takes part in collision is inserted; the process
// steps the bodies, casts rays and sweeps geometries against the others. Broad phase is a spatial hash
// plus a list of geometries without bounds; narrow phase walks the item trees of each pair.
class physproc_t {
public:
    physproc_t();
    // Empties every list; inserted geometries stay their owners'.
    ~physproc_t();
    physproc_t(const physproc_t&) = delete;
    physproc_t& operator=(const physproc_t&) = delete;

    // Enters a geometry: with a body, into the hash and the body list (ascending body id); without one,
    // into the hash and the static list when it has bounds, else into the unbounded list.
    void insert_geom(cd_geo_t* geometry);
    // Takes a geometry out; reports an error when it was never inserted.
    void remove_geom(cd_geo_t* geometry);
    // Re-enters a geometry in the hash with the cube around its bounding sphere, after its owner moved it.
    void update_geom(cd_geo_t* geometry);

    // Advances every enabled, not held body by `dt` seconds: the owner's forces, integration, the
    // move against the other geometries, the commit.
    void step(float dt);
    // Carries a body's geometry from its current pose towards the integrated next pose without passing
    // through solid geometry, sliding along what it meets and stepping onto stairs; writes the result
    // into the next state. True when the geometry must be re-entered in the hash.
    bool move_geom(phys_body_t* body);

    // The nearest contact of the segment from `from` to `to` (solid hits stop it, touches before them
    // are listed too), or null. Triangles whose ids are in `ignore` are skipped; an entry 0xffff skips
    // triangles facing along the ray, 0xfffe those facing against it. `word` goes to the triangle query.
    const phys_contact_t* ray_cast(const vec3_t& from, const vec3_t& to, const phys_pair_t* filter,
                                   const uint16_t* ignore, int ignore_count, uint32_t word);
    // Sweeps `geometry` from `start` to `end` in sub-steps of `step_length` and `rotation_step` degrees;
    // the first contact or null. The pose reached goes to `out_pose` when given.
    const phys_contact_t* collide_geom(const phys_pose_t& start, const phys_pose_t& end, cd_geo_t* geometry,
                                       float step_length, float rotation_step, const phys_pair_t* filter,
                                       phys_pose_t* out_pose);
    // Appends to `out` every geometry the filter accepts whose bounding cube overlaps the box spanned by
    // two corners, and every accepted geometry without bounds; true when `out` is not empty.
    bool query_box(const vec3_t& corner_a, const vec3_t& corner_b, vptrlist_t<cd_geo_t*>& out,
                   const phys_pair_t* filter);

    // Swept test in the current query context: moves its geometry from `start` to `end` in sub-steps,
    // files the contacts it meets, stops at the first solid one. `mode` holds phys_sweep_mode_t bits;
    // `out` receives what they ask for. True on a solid impact.
    bool sweep(const phys_pose_t& start, const phys_pose_t& end, uint32_t mode, phys_sweep_out_t* out);
    // Pair test: `moving` placed at `trial_position` against `other`, through both item trees. With
    // `out` the contacts are appended there and their count returned; without, 1 when they touch.
    int collide_pair(cd_geo_t* moving, cd_geo_t* other, const vec3_t& trial_position,
                     std::vector<phys_pair_hit_t>* out);

    // Saves the current query context and installs `context`; its contact and output lists are emptied.
    void push_context(const cd_query_context_t& context);
    // Restores the context saved by the matching push.
    void pop_context();
    // The query context in force.
    const cd_query_context_t& context() const { return context_; }

    // The filter queries use when they are given none.
    const phys_pair_t& pair() const { return pair_; }
    void set_pair(const phys_pair_t& pair) { phys_pair_set(&pair_, pair); }

    // Steps taken since construction and the length of the last one.
    long step_count() const { return step_count_; }
    float last_step() const { return last_step_; }
    // The inserted geometries by list.
    const vptrlist_t<phys_body_t*>& bodies() const { return bodies_; }
    const vptrlist_t<cd_geo_t*>& static_geoms() const { return static_geoms_; }
    const vptrlist_t<cd_geo_t*>& unbounded_geoms() const { return unbounded_geoms_; }
    // True when the geometry is in the spatial hash.
    bool in_hash(cd_geo_t* geometry) const { return hash_.contains(geometry); }

private:
    // A move runs its phases on the process's pools, filter, profile and trace depth.
    friend class phys_move_t;

    // Fills the candidate list for a motion of the local box (minimum, maximum) from `start` to `end`.
    // Answers the cycles it took.
    uint64_t broad_phase(const vec3_t& start, const vec3_t& end, const vec3_t& box_minimum, const vec3_t& box_maximum);
    // Empties the candidate list; answers the cycles it took.
    uint64_t clear_candidates();
    // Pair-tests one candidate at fraction `t` of a sweep and files its contacts; true when it touches
    // and is solid. With `best_dot`, the plane normal of a solid contact most opposed to `direction`
    // goes to `normal` when it beats *best_dot.
    bool file_contacts(const phys_candidate_t& candidate, const phys_pose_t& trial, const vec3_t& direction, float t,
                       float smallest_step, float* best_dot, vec3_t* normal);
    // Nearest hit of the segment on one candidate: true with the triangle id and fraction.
    bool segment_test(cd_geo_t* candidate, const vec3_t& from, const vec3_t& to, const uint16_t* ignore,
                      int ignore_count, uint32_t word, uint32_t* item_out, float* fraction_out);
    // Adds cycles to the build or detection sum of the running query (a caller's or a step's).
    void add_build_time(uint64_t cycles);
    void add_detect_time(uint64_t cycles);
    // Prints the step's profile when "p_verbose" asks for it.
    // `counts_before` holds the pair, bounding-volume and primitive test counts at the step's start.
    void print_profile(int stepped, char level, uint64_t step_start, const uint32_t* counts_before) const;
    // First character of "p_verbose", 0 when empty or missing.
    char verbose() const;
    // The cycle counter while "p_verbose" asks for the profile, else 0: the timers cost a clock call
    // each, which a step without profiling does without.
    uint64_t profile_clock() const;

    phys_pair_t pair_;
    spatialhash_t hash_;
    cd_query_context_t context_;
    // Node pools shared by the lists of every query.
    bmem_manager context_pool_;
    bmem_manager candidate_pool_;
    bmem_manager pointer_pool_;
    bmem_manager constraint_pool_;
    // Nodes of the ray casts' own contact lists, kept between casts.
    bmem_manager ray_contact_pool_;
    vdatalist_t<cd_query_context_t> saved_contexts_;
    vptrlist_t<cd_geo_t*> unbounded_geoms_;
    vptrlist_t<cd_geo_t*> static_geoms_;
    vptrlist_t<phys_body_t*> bodies_;
    // Scratch of the broad phase and the pair test, kept so that queries seldom allocate.
    std::vector<void*> found_;
    std::vector<phys_pair_hit_t> hits_;
    cd_tri_query_t segment_query_;
    std::vector<std::pair<const cd_bvnode_t*, const cd_bvnode_t*>> node_pairs_;
    phys_profile_t profile_;
    // The last step found "p_verbose" asking for the profile.
    bool profiling_ = false;
    // The geometry collide_geom is testing, or null.
    cd_geo_t* caller_geom_ = nullptr;
    // The "p_verbose" variable when this process registered it.
    std::unique_ptr<cvar_t> verbose_variable_;
    // Nesting depth of the move traces.
    int trace_depth_ = 0;
    long step_count_ = 0;
    float last_step_ = 0.0f;
};

// Forwarders for the entities that own geometries.
void phys_insert_geom(physproc_t* process, cd_geo_t* geometry);
void phys_remove_geom(physproc_t* process, cd_geo_t* geometry);
void phys_update_geom(physproc_t* process, cd_geo_t* geometry);
// Replaces the contact filter of a physics process.
void phys_set_pair(physproc_t* process, const phys_pair_t& pair);
