#pragma once
#include <cmath>

// Small fixed-size vectors of the engine's class library. Only the sizes the game uses exist: three
// components (points, directions, angle triples) and four (planes, colours, homogeneous points).
// Both are plain records (no padding, trivially copyable) so they may be read and written field by
// field and copied as raw floats.
template <typename T, int N> struct vec_t;

// A point, direction or angle triple (x, y, z).
template <typename T> struct vec_t<T, 3> {
    T x{}, y{}, z{};

    constexpr vec_t() = default;
    constexpr vec_t(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

    // Component `i` (0 x, 1 y, 2 z); the index must be 0..2.
    constexpr T& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    constexpr const T& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    constexpr vec_t operator+(const vec_t& b) const { return {x + b.x, y + b.y, z + b.z}; }
    constexpr vec_t operator-(const vec_t& b) const { return {x - b.x, y - b.y, z - b.z}; }
    constexpr vec_t operator-() const { return {-x, -y, -z}; }
    constexpr vec_t operator*(T s) const { return {x * s, y * s, z * s}; }
    constexpr vec_t operator/(T s) const { return {x / s, y / s, z / s}; }
    constexpr vec_t& operator+=(const vec_t& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    constexpr vec_t& operator-=(const vec_t& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    constexpr vec_t& operator*=(T s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    constexpr vec_t& operator/=(T s)
    {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    constexpr bool operator==(const vec_t& b) const = default;

    // Dot and cross products.
    constexpr T dot(const vec_t& b) const { return x * b.x + y * b.y + z * b.z; }
    constexpr vec_t cross(const vec_t& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    // Squared length and length.
    constexpr T length_sq() const { return dot(*this); }
    T length() const { return std::sqrt(length_sq()); }
    // The unit vector of this one; the zero vector stays zero.
    vec_t normalized() const
    {
        const T l = length();
        return l > T(0) ? *this / l : vec_t{};
    }
    // Makes this a unit vector (a zero vector stays zero) and returns the length it had.
    T normalize()
    {
        const T l = length();
        if (l > T(0))
            *this /= l;
        return l;
    }
};

// A plane (normal, distance), a colour or a homogeneous point (x, y, z, w).
template <typename T> struct vec_t<T, 4> {
    T x{}, y{}, z{}, w{};

    constexpr vec_t() = default;
    constexpr vec_t(T x_, T y_, T z_, T w_) : x(x_), y(y_), z(z_), w(w_) {}
    constexpr vec_t(const vec_t<T, 3>& v, T w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

    // Component `i` (0 x, 1 y, 2 z, 3 w); the index must be 0..3.
    constexpr T& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    constexpr const T& operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }

    // The first three components.
    constexpr vec_t<T, 3> xyz() const { return {x, y, z}; }

    constexpr vec_t operator+(const vec_t& b) const { return {x + b.x, y + b.y, z + b.z, w + b.w}; }
    constexpr vec_t operator-(const vec_t& b) const { return {x - b.x, y - b.y, z - b.z, w - b.w}; }
    constexpr vec_t operator-() const { return {-x, -y, -z, -w}; }
    constexpr vec_t operator*(T s) const { return {x * s, y * s, z * s, w * s}; }
    constexpr vec_t operator/(T s) const { return {x / s, y / s, z / s, w / s}; }
    constexpr vec_t& operator+=(const vec_t& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        w += b.w;
        return *this;
    }
    constexpr vec_t& operator-=(const vec_t& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        w -= b.w;
        return *this;
    }
    constexpr vec_t& operator*=(T s)
    {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }
    constexpr vec_t& operator/=(T s)
    {
        x /= s;
        y /= s;
        z /= s;
        w /= s;
        return *this;
    }
    constexpr bool operator==(const vec_t& b) const = default;

    // Four-component dot product.
    constexpr T dot(const vec_t& b) const { return x * b.x + y * b.y + z * b.z + w * b.w; }
    constexpr T length_sq() const { return dot(*this); }
    T length() const { return std::sqrt(length_sq()); }
};

// Scalar on the left: s * v.
template <typename T, int N> constexpr vec_t<T, N> operator*(T s, const vec_t<T, N>& v) { return v * s; }

// The names the game uses for the two float vectors.
using vec3_t = vec_t<float, 3>;
using vec4_t = vec_t<float, 4>;

static_assert(sizeof(vec3_t) == 12 && sizeof(vec4_t) == 16, "vectors are packed floats");
