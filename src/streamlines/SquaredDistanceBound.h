#pragma once

namespace tvl {

// The separation tests compare rounded distances, sqrt(dx² + dy² + dz²) in
// single precision, against a distance d. The rounded square root never
// decreases as its argument grows, so the squares whose rounded root lies
// below d are exactly those below one float: the smallest square whose root
// rounds to d or more. Comparing squares against it answers every test as the
// rounded roots would, without taking a root per point.
//
// Returns that bound: for d not above 0 (or NaN) 0, so that no square lies
// below it; for a d beyond every finite root, +infinity.
float squaredDistanceBound(float distance);

} // namespace tvl
