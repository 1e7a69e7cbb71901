#include "engine/matrix.h"

#include <cmath>
#include <cstring>

#include "engine/log.h"
#include "engine/quat.h"

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180.0;

// One strided point transform; `full` divides by w.
void transform_points(const mat4_t& m, const void* in, int in_stride, void* out, int out_stride, int count, bool full)
{
    if (count > 0 && (!in || !out)) {
        error("transforming %d points: no %s array", count, in ? "output" : "input");
        return;
    }
    const auto* source = static_cast<const unsigned char*>(in);
    auto* target = static_cast<unsigned char*>(out);
    for (int i = 0; i < count; ++i) {
        vec3_t p;
        // Copied through memcpy: strided records need not be aligned, and `in` may be `out`.
        std::memcpy(&p, source + static_cast<long>(i) * in_stride, sizeof p);
        const vec3_t r = full ? mult_point_matrix(m, p) : mult_point_matrix_fast(m, p);
        std::memcpy(target + static_cast<long>(i) * out_stride, &r, sizeof r);
    }
}

}  // namespace

void matrix_set_identity(mat4_t& out) { out = mat4_t::identity(); }

void matrix_set_rotate(mat4_t& out, const vec3_t& angles_degrees)
{
    const double a = angles_degrees.x * radians_per_degree;  // about X
    const double b = angles_degrees.y * radians_per_degree;  // about Y
    const double g = angles_degrees.z * radians_per_degree;  // about Z
    const double sa = std::sin(a), ca = std::cos(a);
    const double sb = std::sin(b), cb = std::cos(b);
    const double sg = std::sin(g), cg = std::cos(g);
    // Ry(b) Rx(a) Rz(g), multiplied out.
    const double r[3][3] = {
        {cb * cg + sb * sa * sg, -cb * sg + sb * sa * cg, sb * ca},
        {ca * sg, ca * cg, -sa},
        {-sb * cg + cb * sa * sg, sb * sg + cb * sa * cg, cb * ca},
    };
    out = mat4_t::identity();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out.m[i][j] = static_cast<float>(r[i][j]);
}

void matrix_set_translate(mat4_t& out, const vec3_t& offset)
{
    out = mat4_t::identity();
    out.m[0][3] = offset.x;
    out.m[1][3] = offset.y;
    out.m[2][3] = offset.z;
}

void matrix_set_quat(mat4_t& out, const quat_t& q)
{
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    out = mat4_t::identity();
    out.m[0][0] = 1.0f - 2.0f * (yy + zz);
    out.m[0][1] = 2.0f * (xy - wz);
    out.m[0][2] = 2.0f * (xz + wy);
    out.m[1][0] = 2.0f * (xy + wz);
    out.m[1][1] = 1.0f - 2.0f * (xx + zz);
    out.m[1][2] = 2.0f * (yz - wx);
    out.m[2][0] = 2.0f * (xz - wy);
    out.m[2][1] = 2.0f * (yz + wx);
    out.m[2][2] = 1.0f - 2.0f * (xx + yy);
}

void matrix_set_mirror(mat4_t& out, const vec3_t& normal)
{
    out = mat4_t::identity();
    const vec3_t n = normal.normalized();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            out.m[i][j] -= 2.0f * n[i] * n[j];
}

bool matrix_set_perspective(mat4_t& out, float fov_degrees, float aspect, float near_plane, float far_plane)
{
    out = mat4_t::identity();
    if (!(fov_degrees > 0.0f && fov_degrees < 180.0f && aspect > 0.0f && near_plane > 0.0f && far_plane > near_plane))
        return false;
    const double f = 1.0 / std::tan(fov_degrees * radians_per_degree * 0.5);
    const double n = near_plane, r = far_plane;
    out.m[0][0] = static_cast<float>(f / aspect);
    out.m[1][1] = static_cast<float>(f);
    out.m[2][2] = static_cast<float>(r / (n - r));
    out.m[2][3] = static_cast<float>(r * n / (n - r));
    out.m[3][2] = -1.0f;
    out.m[3][3] = 0.0f;
    return true;
}

bool matrix_inverse(mat4_t& out, const mat4_t& m)
{
    // Cofactor expansion in double precision (2 x 2 sub-determinants of the top and bottom halves).
    double a[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            a[i][j] = m.m[i][j];
    const double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    const double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    const double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (!std::isfinite(det) || det == 0.0) {
        out = mat4_t::identity();
        return false;
    }
    const double k = 1.0 / det;
    const double r[4][4] = {
        {(a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * k, (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * k,
         (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * k, (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * k},
        {(-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * k, (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * k,
         (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * k, (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * k},
        {(a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * k, (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * k,
         (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * k, (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * k},
        {(-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * k, (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * k,
         (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * k, (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * k},
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = static_cast<float>(r[i][j]);
    return true;
}

void mult_matrix_matrix_no(mat4_t& out, const mat4_t& a, const mat4_t& b) { out = a * b; }
void mult_matrix_matrix_lo(mat4_t& a, const mat4_t& b) { a = a * b; }
void mult_matrix_matrix_ro(const mat4_t& a, mat4_t& b) { b = a * b; }

vec3_t mult_point_matrix(const mat4_t& m, const vec3_t& p)
{
    const vec3_t r = mult_point_matrix_fast(m, p);
    const float w = m.m[3][0] * p.x + m.m[3][1] * p.y + m.m[3][2] * p.z + m.m[3][3];
    return w != 0.0f ? r / w : r;
}

void mult_point_matrix(const mat4_t& m, const void* in, int in_stride, void* out, int out_stride, int count)
{
    transform_points(m, in, in_stride, out, out_stride, count, true);
}

void mult_point_matrix_fast(const mat4_t& m, const void* in, int in_stride, void* out, int out_stride, int count)
{
    transform_points(m, in, in_stride, out, out_stride, count, false);
}

vec3_t mult_zero_matrix(const mat4_t& m) { return {m.m[0][3], m.m[1][3], m.m[2][3]}; }
