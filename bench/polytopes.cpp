// Closest features (our V-Clip walk) against GJK on the same convex polytope pairs, cold and warm.
// The pairs are frusta of 3 to 10 sides, turning and drifting a little from frame to frame; one
// iteration asks every pair once at the next frame (the frames run back and forth, so each query's
// pose is next to the last one's). Cold queries start from nothing each time; warm ones start from
// what the same pair's previous query left: V-Clip from its last pair of features, Bullet's
// btGjkPairDetector from its cached separating axis, btGjkEpaSolver2 from the last separation as its
// guess.
// Two kinds of work, never mixed: the distance of separated pairs (V-Clip against Bullet's two GJK
// implementations, both answering the distance), and whether a pair intersects (V-Clip, which answers
// with a distance, against libccd's GJK, which answers only that). Before anything is timed every
// answer is checked against the others; a difference stops the program with an error.
#include <benchmark/benchmark.h>

#include <BulletCollision/CollisionShapes/btConvexHullShape.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkEpa2.h>
#include <BulletCollision/NarrowPhaseCollision/btGjkPairDetector.h>
#include <BulletCollision/NarrowPhaseCollision/btPointCollector.h>
#include <BulletCollision/NarrowPhaseCollision/btVoronoiSimplexSolver.h>
#include <ccd/ccd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

#include "engine/axial.h"
#include "engine/matrix.h"
#include "physics/polyhedron.h"
#include "physics/vclip.h"

namespace {

// Pairs made; a run asks the first `range(1)` of them: a few dozen pairs' feature graphs fit the
// caches, a few hundred do not.
constexpr int pair_count = 500;
constexpr int frame_count = 16;
// Bullet works in metres, ours in centimetres.
constexpr float metres = 0.01f;
// Separated pairs are kept only when every frame leaves at least this gap (cm); intersection pairs only
// when no frame is closer to touching than this, so rounding decides no answer.
constexpr float clear_gap = 0.5f;
// Largest difference allowed between two distances (cm), plus this share of the distance.
constexpr float distance_tolerance = 0.05f, distance_share = 1e-3f;

// A convex frustum: its corners, its feature graph and Bullet's hull of the same corners (in metres).
struct polytope_t {
    polytope_t(int sides, float bottom_radius, float top_radius, float half_height, float twist)
    {
        for (int ring = 0; ring < 2; ++ring)
            for (int i = 0; i < sides; ++i) {
                const float angle = twist + 6.2831853f * static_cast<float>(i) / static_cast<float>(sides);
                const float radius = ring ? top_radius : bottom_radius;
                points.emplace_back(radius * std::cos(angle), ring ? half_height : -half_height,
                                    radius * std::sin(angle));
            }
        std::vector<int> bottom(static_cast<size_t>(sides)), top(static_cast<size_t>(sides));
        std::iota(bottom.begin(), bottom.end(), 0);
        std::iota(top.begin(), top.end(), sides);
        std::vector<int> caps;
        add_face(caps, bottom);
        add_face(caps, top);
        std::vector<int> sides_table;
        for (int i = 0; i < sides; ++i)
            add_face(sides_table, {i, (i + 1) % sides, sides + (i + 1) % sides, sides + i});
        graph.set_vertices(points.data(), static_cast<uint32_t>(points.size()));
        graph.build_faces(caps.data(), static_cast<uint16_t>(sides), 2);
        graph.build_faces(sides_table.data(), 4, static_cast<uint16_t>(sides));
        graph.prepare();
        float radius_sq = 0.0f;
        hull = std::make_unique<btConvexHullShape>();
        for (const vec3_t& p : points) {
            hull->addPoint(btVector3(p.x, p.y, p.z) * metres, false);
            radius_sq = std::max(radius_sq, p.length_sq());
        }
        hull->recalcLocalAabb();
        hull->setMargin(0.0f);
        radius = std::sqrt(radius_sq);
    }

    // Appends a face's ring to `table`, turned so that it runs clockwise seen from outside.
    void add_face(std::vector<int>& table, std::vector<int> ring)
    {
        vec3_t centre;
        for (int index : ring)
            centre += points[static_cast<size_t>(index)];
        centre /= static_cast<float>(ring.size());
        const vec3_t& a = points[static_cast<size_t>(ring[0])];
        const vec3_t turn = (points[static_cast<size_t>(ring[1])] - a).cross(points[static_cast<size_t>(ring[2])] - a);
        // Clockwise from outside: the turn of the first corners points into the solid (its centre is 0).
        if (turn.dot(centre) > 0.0f)
            std::reverse(ring.begin(), ring.end());
        table.insert(table.end(), ring.begin(), ring.end());
    }

    std::vector<vec3_t> points;
    cd_polyhedron_t graph;
    std::unique_ptr<btConvexHullShape> hull;
    float radius = 0.0f;
};

// One placement of a polytope: our frame, Bullet's transform (metres) and libccd's rotation.
struct pose_t {
    axial_t frame;
    btTransform transform;
};

pose_t make_pose(const vec3_t& position, const vec3_t& angles)
{
    pose_t pose;
    pose.frame.translate(position);
    pose.frame.rotate(angles);
    const vec3_t x = mult_normal_matrix_fast(pose.frame.matrix, {1, 0, 0});
    const vec3_t y = mult_normal_matrix_fast(pose.frame.matrix, {0, 1, 0});
    const vec3_t z = mult_normal_matrix_fast(pose.frame.matrix, {0, 0, 1});
    const vec3_t origin = mult_zero_matrix(pose.frame.matrix);
    pose.transform.setBasis(btMatrix3x3(x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z));
    pose.transform.setOrigin(btVector3(origin.x, origin.y, origin.z) * metres);
    return pose;
}

// Two polytopes and their poses at every frame.
struct pair_t {
    std::unique_ptr<polytope_t> first, second;
    pose_t first_at[frame_count], second_at[frame_count];
};

// libccd's view of a placed polytope: the support point in a direction, in the world.
struct ccd_object_t {
    const polytope_t* polytope;
    const axial_t* frame;
};

void ccd_support(const void* object, const ccd_vec3_t* direction, ccd_vec3_t* out)
{
    const auto& placed = *static_cast<const ccd_object_t*>(object);
    const vec3_t world(static_cast<float>(direction->v[0]), static_cast<float>(direction->v[1]),
                       static_cast<float>(direction->v[2]));
    const vec3_t local = mult_normal_matrix_fast(placed.frame->inverse, world);
    const vec3_t* best = &placed.polytope->points[0];
    float best_dot = best->dot(local);
    for (const vec3_t& p : placed.polytope->points)
        if (p.dot(local) > best_dot) {
            best_dot = p.dot(local);
            best = &p;
        }
    const vec3_t point = mult_point_matrix_fast(placed.frame->matrix, *best);
    ccdVec3Set(out, point.x, point.y, point.z);
}

float vclip_distance(const pair_t& pair, int frame, const cd_feature_t*& first, const cd_feature_t*& second)
{
    vec3_t first_point, second_point;
    return vclip_run(pair.first->graph, pair.first_at[frame].frame, pair.second->graph, pair.second_at[frame].frame,
                     first, second, first_point, second_point);
}

// Distance in cm by btGjkPairDetector; the detector keeps its separating axis between calls.
float bullet_gjk_distance(const pair_t& pair, int frame, btGjkPairDetector& detector)
{
    btGjkPairDetector::ClosestPointInput input;
    input.m_transformA = pair.first_at[frame].transform;
    input.m_transformB = pair.second_at[frame].transform;
    btPointCollector result;
    detector.getClosestPoints(input, result, nullptr);
    return result.m_hasResult ? result.m_distance / metres : -1.0f;
}

// Distance in cm by btGjkEpaSolver2 from `guess`, which becomes the separation found.
float bullet_epa_distance(const pair_t& pair, int frame, btVector3& guess)
{
    btGjkEpaSolver2::sResults result;
    if (!btGjkEpaSolver2::Distance(pair.first->hull.get(), pair.first_at[frame].transform, pair.second->hull.get(),
                                   pair.second_at[frame].transform, guess, result))
        return -1.0f;
    guess = result.witnesses[0] - result.witnesses[1];
    return result.distance / metres;
}

bool ccd_intersects(const pair_t& pair, int frame)
{
    ccd_t ccd;
    CCD_INIT(&ccd);
    ccd.support1 = ccd_support;
    ccd.support2 = ccd_support;
    ccd.max_iterations = 100;
    const ccd_object_t first{pair.first.get(), &pair.first_at[frame].frame};
    const ccd_object_t second{pair.second.get(), &pair.second_at[frame].frame};
    return ccdGJKIntersect(&first, &second, &ccd) != 0;
}

// Pairs from a fixed seed: the second polytope's centre at `near` to `far` times the sum of the two
// bounding radii, in a random direction; kept when `keep` accepts V-Clip's distances of all frames.
template <typename keep_t> std::vector<pair_t> make_pairs(unsigned seed, float near, float far, const keep_t& keep)
{
    std::mt19937 random(seed);
    auto uniform = [&random](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    auto make_polytope = [&] {
        const float bottom = uniform(40.0f, 150.0f);
        return std::make_unique<polytope_t>(static_cast<int>(uniform(3.0f, 11.0f)), bottom,
                                            bottom * uniform(0.5f, 1.0f), uniform(30.0f, 150.0f), uniform(0.0f, 6.3f));
    };
    std::vector<pair_t> pairs;
    while (pairs.size() < static_cast<size_t>(pair_count)) {
        pair_t pair;
        pair.first = make_polytope();
        pair.second = make_polytope();
        vec3_t direction(uniform(-1.0f, 1.0f), uniform(-1.0f, 1.0f), uniform(-1.0f, 1.0f));
        if (direction.length_sq() < 0.01f)
            continue;
        direction /= direction.length();
        const vec3_t offset = direction * ((pair.first->radius + pair.second->radius) * uniform(near, far));
        const vec3_t angles[2] = {{uniform(0, 360), uniform(0, 360), uniform(0, 360)},
                                  {uniform(0, 360), uniform(0, 360), uniform(0, 360)}};
        const vec3_t spin[2] = {{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)},
                                {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)}};
        const vec3_t drift(uniform(-0.5f, 0.5f), uniform(-0.5f, 0.5f), uniform(-0.5f, 0.5f));
        bool kept = true;
        for (int f = 0; f < frame_count && kept; ++f) {
            const float t = static_cast<float>(f);
            pair.first_at[f] = make_pose(vec3_t(), angles[0] + spin[0] * t);
            pair.second_at[f] = make_pose(offset + drift * t, angles[1] + spin[1] * t);
            const cd_feature_t* a = nullptr;
            const cd_feature_t* b = nullptr;
            kept = keep(vclip_distance(pair, f, a, b));
        }
        if (kept)
            pairs.push_back(std::move(pair));
    }
    return pairs;
}

[[noreturn]] void refuse(const char* what, int pair, int frame, double ours, double theirs)
{
    std::fprintf(stderr, "polytopes: %s differ at pair %d, frame %d: %g against %g\n", what, pair, frame, ours, theirs);
    std::exit(1);
}

// Queries of the separated pairs (each asked cold and warm) whose btGjkEpaSolver2 distance is off by
// more than the tolerance, and the largest such error as a share of the distance.
int epa_misses = 0;
float epa_worst = 0.0f;

const std::vector<pair_t>& separated_pairs()
{
    static const std::vector<pair_t> pairs = [] {
        std::vector<pair_t> made = make_pairs(7, 0.6f, 1.3f, [](float d) { return d > clear_gap; });
        // Every answer, cold and warm, against V-Clip's cold one.
        btVoronoiSimplexSolver simplex;
        for (size_t p = 0; p < made.size(); ++p) {
            const cd_feature_t* a = nullptr;
            const cd_feature_t* b = nullptr;
            btGjkPairDetector detector(made[p].first->hull.get(), made[p].second->hull.get(), &simplex, nullptr);
            btVector3 guess(1, 0, 0);
            for (int f = 0; f < frame_count; ++f) {
                const cd_feature_t* cold_a = nullptr;
                const cd_feature_t* cold_b = nullptr;
                const float cold = vclip_distance(made[p], f, cold_a, cold_b);
                const float tolerance = distance_tolerance + distance_share * cold;
                const float answers[3] = {vclip_distance(made[p], f, a, b), bullet_gjk_distance(made[p], f, detector),
                                          bullet_epa_distance(made[p], f, guess)};
                const char* const names[2] = {"V-Clip's warm and cold distances", "btGjkPairDetector's distances"};
                for (int k = 0; k < 2; ++k)
                    if (!(std::fabs(answers[k] - cold) <= tolerance))
                        refuse(names[k], static_cast<int>(p), f, cold, answers[k]);
                // btGjkEpaSolver2 stops early on some pairs: its misses, cold and warm, are counted and
                // shown, not refused.
                btVector3 cold_guess(1, 0, 0);
                for (const float epa : {answers[2], bullet_epa_distance(made[p], f, cold_guess)})
                    if (!(std::fabs(epa - cold) <= tolerance)) {
                        ++epa_misses;
                        epa_worst = std::max(epa_worst, std::fabs(epa - cold) / cold);
                    }
            }
        }
        return made;
    }();
    return pairs;
}

const std::vector<pair_t>& intersection_pairs()
{
    static const std::vector<pair_t> pairs = [] {
        std::vector<pair_t> made = make_pairs(11, 0.3f, 1.0f, [](float d) { return d <= 1e-6f || d > clear_gap; });
        for (size_t p = 0; p < made.size(); ++p)
            for (int f = 0; f < frame_count; ++f) {
                const cd_feature_t* a = nullptr;
                const cd_feature_t* b = nullptr;
                const float distance = vclip_distance(made[p], f, a, b);
                if ((distance <= 1e-6f) != ccd_intersects(made[p], f))
                    refuse("intersection answers", static_cast<int>(p), f, distance, ccd_intersects(made[p], f));
            }
        return made;
    }();
    return pairs;
}

// The frame of iteration i: 0, 1, .., last, last - 1, .., 1, 0, 1, ..
int frame_of(int64_t i)
{
    const int64_t period = 2 * (frame_count - 1);
    const int64_t at = i % period;
    return static_cast<int>(at < frame_count ? at : period - at);
}

// Runs `ask(pair index, frame)` over every pair once per iteration; counts the pair queries.
template <typename ask_t> void run_pairs(benchmark::State& state, const ask_t& ask)
{
    const auto count = static_cast<size_t>(state.range(1));
    int64_t iteration = 0;
    for (auto _ : state) {
        const int frame = frame_of(iteration++);
        for (size_t p = 0; p < count; ++p)
            ask(p, frame);
    }
    state.counters["queries"] = benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(count),
                                                   benchmark::Counter::kIsRate);
}

void BM_distance_vclip(benchmark::State& state)
{
    const std::vector<pair_t>& pairs = separated_pairs();
    const bool warm = state.range(0) != 0;
    std::vector<const cd_feature_t*> features(pairs.size() * 2, nullptr);
    float total = 0.0f;
    run_pairs(state, [&](size_t p, int frame) {
        if (!warm)
            features[2 * p] = features[2 * p + 1] = nullptr;
        total += vclip_distance(pairs[p], frame, features[2 * p], features[2 * p + 1]);
    });
    benchmark::DoNotOptimize(total);
    state.SetLabel(warm ? "warm" : "cold");
}

void BM_distance_bullet_gjk_pair_detector(benchmark::State& state)
{
    const std::vector<pair_t>& pairs = separated_pairs();
    const bool warm = state.range(0) != 0;
    btVoronoiSimplexSolver simplex;
    std::vector<std::unique_ptr<btGjkPairDetector>> detectors;
    for (const pair_t& pair : pairs)
        detectors.push_back(
            std::make_unique<btGjkPairDetector>(pair.first->hull.get(), pair.second->hull.get(), &simplex, nullptr));
    const btVector3 initial_axis(0, 1, 0);  // the detector's own starting axis
    float total = 0.0f;
    run_pairs(state, [&](size_t p, int frame) {
        if (!warm)
            detectors[p]->setCachedSeparatingAxis(initial_axis);
        total += bullet_gjk_distance(pairs[p], frame, *detectors[p]);
    });
    benchmark::DoNotOptimize(total);
    state.SetLabel(warm ? "warm" : "cold");
}

void BM_distance_bullet_gjk_epa_solver(benchmark::State& state)
{
    const std::vector<pair_t>& pairs = separated_pairs();
    const bool warm = state.range(0) != 0;
    const btVector3 initial_guess(1, 0, 0);
    std::vector<btVector3> guesses(pairs.size(), initial_guess);
    float total = 0.0f;
    run_pairs(state, [&](size_t p, int frame) {
        if (!warm)
            guesses[p] = initial_guess;
        total += bullet_epa_distance(pairs[p], frame, guesses[p]);
    });
    benchmark::DoNotOptimize(total);
    state.SetLabel(warm ? "warm" : "cold");
    state.counters["off_answers"] = epa_misses;
    state.counters["worst_error"] = epa_worst;
}

void BM_intersect_vclip(benchmark::State& state)
{
    const std::vector<pair_t>& pairs = intersection_pairs();
    const bool warm = state.range(0) != 0;
    std::vector<const cd_feature_t*> features(pairs.size() * 2, nullptr);
    int touching = 0;
    run_pairs(state, [&](size_t p, int frame) {
        if (!warm)
            features[2 * p] = features[2 * p + 1] = nullptr;
        touching += vclip_distance(pairs[p], frame, features[2 * p], features[2 * p + 1]) <= 1e-6f;
    });
    benchmark::DoNotOptimize(touching);
    state.counters["touching"] =
        static_cast<double>(touching) / static_cast<double>(state.iterations() * state.range(1));
    state.SetLabel(warm ? "warm" : "cold");
}

void BM_intersect_libccd_gjk(benchmark::State& state)
{
    const std::vector<pair_t>& pairs = intersection_pairs();
    int touching = 0;
    run_pairs(state, [&](size_t p, int frame) { touching += ccd_intersects(pairs[p], frame); });
    benchmark::DoNotOptimize(touching);
    state.SetLabel("cold");
}

}  // namespace

BENCHMARK(BM_distance_vclip)->ArgsProduct({{0, 1}, {100, pair_count}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_distance_bullet_gjk_pair_detector)
    ->ArgsProduct({{0, 1}, {100, pair_count}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_distance_bullet_gjk_epa_solver)->ArgsProduct({{0, 1}, {100, pair_count}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_intersect_vclip)->ArgsProduct({{0, 1}, {100, pair_count}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_intersect_libccd_gjk)->ArgsProduct({{0}, {100, pair_count}})->Unit(benchmark::kMicrosecond);
