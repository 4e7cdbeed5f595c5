#pragma once

namespace tvl {

// Streamline options for data sets in physical units, beyond the start state;
// both are off by default, and off they change nothing.
struct StreamlineOptions {
    // The step follows the speed relative to the data set's maximum speed, so a
    // data set in any unit traces as one whose fastest point has speed 1.
    bool normalizedStep = false;
    // A line ends where it comes back near its own earlier points, so spirals
    // and closed orbits are drawn once.
    bool noSelfOverlap = false;

    friend bool operator==(const StreamlineOptions&, const StreamlineOptions&) = default;
};

} // namespace tvl
