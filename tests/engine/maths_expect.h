#pragma once
#include <gtest/gtest.h>

#include <cmath>

#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

// Component-wise closeness of vectors and matrices, with the values in the failure message.
inline ::testing::AssertionResult vec_near(const vec3_t& actual, const vec3_t& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(actual[i] - expected[i]) <= tolerance))
            return ::testing::AssertionFailure()
                   << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not (" << expected.x << ", "
                   << expected.y << ", " << expected.z << ")";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult mat_near(const mat4_t& actual, const mat4_t& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!(std::fabs(actual.m[i][j] - expected.m[i][j]) <= tolerance))
                return ::testing::AssertionFailure() << "element [" << i << "][" << j << "] is " << actual.m[i][j]
                                                     << ", expected " << expected.m[i][j];
    return ::testing::AssertionSuccess();
}

// Two quaternions turn the same way (q and -q are the same rotation).
inline ::testing::AssertionResult same_rotation(const quat_t& a, const quat_t& b, float tolerance = 1e-5f)
{
    const float d = std::fabs(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w);
    if (std::fabs(d - 1.0f) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") and (" << b.x
                                         << ", " << b.y << ", " << b.z << ", " << b.w << ") are different rotations";
}
