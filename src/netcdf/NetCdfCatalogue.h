#pragma once

#include "netcdf/NetCdfVariable.h"

#include <string>
#include <utility>
#include <vector>

namespace tvl {

// The variables of a NetCDF file's root group, and what they tell about a
// flow field: which pairs look like a velocity, which further variables share
// a variable's grid, which are coordinates.
class NetCdfCatalogue {
public:
    // A velocity candidate: x (east) and y (north) component, and why.
    struct VelocityPair {
        const NetCdfVariable* u = nullptr;
        const NetCdfVariable* v = nullptr;
        std::string reason;
    };

    // False with a German cause when the file's variables cannot be listed.
    bool read(int file, std::string& cause);

    const std::vector<NetCdfVariable>& variables() const { return variables_; }
    // Null when the file has no variable of that name.
    const NetCdfVariable* find(const std::string& name) const;

    // Velocity candidates, best first: pairs of standard names eastward_* /
    // northward_*, then x_* / y_* (a word of the name), then the common names
    // u/v, u10/v10, uo/vo, U/V, uwnd/vwnd, water_u/water_v. Within each rule
    // the file's order decides. Only numeric variables of two or more
    // dimensions take part; the dimensions are not compared here.
    std::vector<VelocityPair> velocityPairs() const;

    // The numeric variables whose last two dimensions are the field's, apart
    // from the field itself and from coordinates (variables named like a
    // dimension or listed in the field's "coordinates" attribute).
    std::vector<const NetCdfVariable*> onGridOf(const NetCdfVariable& field) const;

    // True for the numeric variables of two or more dimensions, the ones that
    // can hold a field.
    static bool isField(const NetCdfVariable& variable);

private:
    std::vector<NetCdfVariable> variables_;
};

} // namespace tvl
