#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tvl {

// One variable of a NetCDF file's root group with what it takes to read it as
// physical values: its dimensions, the CF attributes that say what it is, the
// raw values that mean "missing" and the packing.
//
// Missing values are compared with the raw (packed) value as the file stores
// it: the _FillValue, every missing_value, or, without a _FillValue, the
// library's default fill value of the type (not for one-byte types, whose
// every value is valid). Physical value = raw × scale_factor + add_offset.
struct NetCdfVariable {
    int file = -1;
    int id = -1;
    std::string name;
    int type = 0; // nc_type
    std::vector<std::string> dimensions;
    std::vector<std::size_t> shape;

    std::string standardName;
    std::string longName;
    std::string units;
    std::string axis;
    std::string coordinates; // the CF "coordinates" attribute: blank-separated names

    double scale = 1.0;
    double offset = 0.0;
    // The NetCDF-3 _Unsigned = "true" convention: a signed integer type
    // holding unsigned values.
    bool isUnsigned = false;
    std::vector<double> missing;

    // Reads the variable's description; false when the library cannot.
    static bool describe(int file, int id, NetCdfVariable& variable);

    // Any of the ten numeric types; text, strings and user-defined types are not.
    bool isNumeric() const;
    std::size_t rank() const { return dimensions.size(); }
    // "u(time, lat, lon)", for messages.
    std::string signature() const;
    // standard_name, else long_name, with the units in brackets; for lists.
    std::string description() const;

    // Reads the hyperslab given by one start and one count per dimension as
    // physical values, missing ones NaN, into values (resized to the product
    // of the counts). False with a German cause on a read error.
    bool read(const std::vector<std::size_t>& start, const std::vector<std::size_t>& count, std::vector<double>& values,
        std::string& cause) const;

    // The same as 32-bit floats, as a node grid holds them. A float variable
    // without packing is read as floats; any other through scratch.
    bool readFloats(const std::vector<std::size_t>& start, const std::vector<std::size_t>& count,
        std::vector<float>& values, std::vector<double>& scratch, std::string& cause) const;

private:
    void toPhysical(double* values, std::size_t count) const;
};

} // namespace tvl
