#pragma once

namespace tvl {

// The one bilinear blend of the program, for node values during resampling and
// for sample values in every lookup: corner values s00 at (i, j), s10 at
// (i + 1, j), s01 at (i, j + 1) and s11 at (i + 1, j + 1), fractions a along
// i and b along j. Evaluated one single-precision operation at a time as
// ((1 − a)·s00 + a·s10)·(1 − b) + ((1 − a)·s01 + a·s11)·b, so every caller gets
// the same bits. T is a float or a vector of floats (one lane per component
// or per point); the fractions are floats or vectors of per-point fractions.
template <class F, class T> inline T bilinear(F a, F b, const T& s00, const T& s10, const T& s01, const T& s11)
{
    const F ia = 1.0f - a;
    return (ia * s00 + a * s10) * (1.0f - b) + (ia * s01 + a * s11) * b;
}

} // namespace tvl
