#pragma once
#include <cstdint>

// The handler of a job trailer's label window ("/ui/job.esc"), as the trailer writes its job into it.
class job_label_t {
public:
    virtual ~job_label_t() = default;
    // Shows job `job` of the economy on the label.
    virtual void show_job(int32_t job) = 0;
};

// Squared distances (square centimetres) from the camera within which a job label is drawn, and within
// which it is drawn opaque.
constexpr float job_label_reach_sq = 81000000.0f;
constexpr float job_label_opaque_sq = 49000000.0f;

// The colour of a job label seen from squared distance `distance_sq`: opaque white up to 70 m, fading
// out to 90 m; 0 (not drawn) beyond.
uint32_t job_label_colour(float distance_sq);
