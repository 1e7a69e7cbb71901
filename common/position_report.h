#pragma once

// A window handler that reports a world position (the bug report), written by whoever opens it.
class position_report_t {
public:
    virtual ~position_report_t() = default;
    // Takes the world position the report is about.
    virtual void set_report_position(float x, float y, float z) = 0;
};
