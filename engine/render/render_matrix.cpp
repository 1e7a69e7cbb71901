#include "render_matrix.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr float degrees_to_radians = 0.017453292519943295f;

// Right-handed turn about one axis (0 X, 1 Y, 2 Z).
render_matrix_t axis_rotation(int axis, float degrees)
{
    render_matrix_t r = render_matrix_t::identity();
    const float c = std::cos(degrees * degrees_to_radians);
    const float s = std::sin(degrees * degrees_to_radians);
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    r.m[a * 4 + a] = c;
    r.m[a * 4 + b] = -s;
    r.m[b * 4 + a] = s;
    r.m[b * 4 + b] = c;
    return r;
}

}  // namespace

render_matrix_t render_matrix_t::identity()
{
    render_matrix_t r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

render_matrix_t render_matrix_t::from(const float* values)
{
    render_matrix_t r;
    std::memcpy(r.m, values, sizeof r.m);
    return r;
}

render_matrix_t render_matrix_t::rotation(const float* degrees)
{
    return render_mul(render_mul(axis_rotation(1, degrees[1]), axis_rotation(0, degrees[0])),
                      axis_rotation(2, degrees[2]));
}

render_matrix_t render_matrix_t::rotation_quat(const float* q)
{
    const float x = q[0], y = q[1], z = q[2], w = q[3];
    render_matrix_t r = identity();
    r.m[0] = 1 - 2 * (y * y + z * z);
    r.m[1] = 2 * (x * y - w * z);
    r.m[2] = 2 * (x * z + w * y);
    r.m[4] = 2 * (x * y + w * z);
    r.m[5] = 1 - 2 * (x * x + z * z);
    r.m[6] = 2 * (y * z - w * x);
    r.m[8] = 2 * (x * z - w * y);
    r.m[9] = 2 * (y * z + w * x);
    r.m[10] = 1 - 2 * (x * x + y * y);
    return r;
}

render_matrix_t render_mul(const render_matrix_t& a, const render_matrix_t& b)
{
    render_matrix_t r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[row * 4 + k] * b.m[k * 4 + col];
            r.m[row * 4 + col] = sum;
        }
    return r;
}

namespace {

// The inverse of an affine matrix (last row 0 0 0 1): the 3 x 3 part by its adjugate and the translation
// taken back through it, in double precision. False when the matrix is not affine or nearly singular,
// which the general elimination then answers.
bool invert_affine(const render_matrix_t& in, render_matrix_t& out)
{
    const float* m = in.m;
    if (m[12] != 0.0f || m[13] != 0.0f || m[14] != 0.0f || m[15] != 1.0f)
        return false;
    const double a[3][3] = {{m[0], m[1], m[2]}, {m[4], m[5], m[6]}, {m[8], m[9], m[10]}};
    double adjugate[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            // Cofactor of a[c][r], the transposed place.
            const int r0 = (c + 1) % 3, r1 = (c + 2) % 3, c0 = (r + 1) % 3, c1 = (r + 2) % 3;
            adjugate[r][c] = a[r0][c0] * a[r1][c1] - a[r0][c1] * a[r1][c0];
        }
    const double determinant = a[0][0] * adjugate[0][0] + a[0][1] * adjugate[1][0] + a[0][2] * adjugate[2][0];
    if (!(std::fabs(determinant) > 1e-6))
        return false;
    const double t[3] = {m[3], m[7], m[11]};
    for (int r = 0; r < 3; ++r) {
        double shift = 0.0;
        for (int c = 0; c < 3; ++c) {
            const double value = adjugate[r][c] / determinant;
            out.m[r * 4 + c] = static_cast<float>(value);
            shift -= value * t[c];
        }
        out.m[r * 4 + 3] = static_cast<float>(shift);
    }
    out.m[12] = out.m[13] = out.m[14] = 0.0f;
    out.m[15] = 1.0f;
    return true;
}

}  // namespace

bool render_invert(const render_matrix_t& in, render_matrix_t& out)
{
    // Drawing code inverts rigid and scaled frames most of the time, which need no elimination.
    if (invert_affine(in, out))
        return true;
    // Gauss-Jordan elimination with partial pivoting, in double precision.
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 8; ++c)
            a[r][c] = c < 4 ? in.m[r * 4 + c] : (c - 4 == r ? 1.0 : 0.0);
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        if (std::fabs(a[pivot][col]) < 1e-12) {
            out = render_matrix_t::identity();
            return false;
        }
        if (pivot != col)
            for (int c = 0; c < 8; ++c)
                std::swap(a[pivot][c], a[col][c]);
        const double scale = 1.0 / a[col][col];
        for (int c = 0; c < 8; ++c)
            a[col][c] *= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == col)
                continue;
            const double factor = a[r][col];
            for (int c = 0; c < 8; ++c)
                a[r][c] -= factor * a[col][c];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out.m[r * 4 + c] = static_cast<float>(a[r][c + 4]);
    return true;
}

float render_point(const render_matrix_t& matrix, const float* point, float* out)
{
    const float* m = matrix.m;
    float result[4];
    for (int r = 0; r < 4; ++r)
        result[r] = m[r * 4] * point[0] + m[r * 4 + 1] * point[1] + m[r * 4 + 2] * point[2] + m[r * 4 + 3];
    out[0] = result[0];
    out[1] = result[1];
    out[2] = result[2];
    return result[3];
}

void render_direction(const render_matrix_t& matrix, const float* direction, float* out)
{
    const float* m = matrix.m;
    float result[3];
    for (int r = 0; r < 3; ++r)
        result[r] = m[r * 4] * direction[0] + m[r * 4 + 1] * direction[1] + m[r * 4 + 2] * direction[2];
    out[0] = result[0];
    out[1] = result[1];
    out[2] = result[2];
}
