#pragma once

#include <cmath>

namespace tvl {

// Three 32-bit floats. Carries positions (flow/world or regular-grid index
// coordinates, as each signature says), velocities, unit directions and the
// corners of bounding boxes. Arithmetic is single precision, one operation at
// a time (no fused multiply-add), so every result is reproducible to the bit.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    // Scaled to length 1. The length is taken at full precision and its
    // inverse rounded to a float. The zero vector gives NaN components
    // (0 * inf); callers that may meet it check with isFinite().
    Vector3 normalized() const
    {
        const double dx = x, dy = y, dz = z;
        const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        const float f = static_cast<float>(1.0 / length);
        return {f * x, f * y, f * z};
    }

    bool isFinite() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }

    friend Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3 operator*(float s, const Vector3& v) { return {s * v.x, s * v.y, s * v.z}; }
    friend Vector3 operator*(const Vector3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
    friend bool operator==(const Vector3&, const Vector3&) = default;
};

} // namespace tvl
