#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tvl::test {

// A NetCDF file described in memory and written with the NetCDF-C library,
// for the import tests: dimensions, variables of any numeric type with their
// values (given as doubles, converted by the library to the variable's
// type) and text or numeric attributes.
class CfFile {
public:
    // NetCDF-3 in its three header variants (CDF-1, CDF-2, CDF-5), or NetCDF-4 (HDF5).
    enum class Format { Classic, Offset64, Cdf5, Netcdf4 };

    // A dimension of fixed size; records > 0 with unlimited makes it the
    // record dimension holding that many records.
    CfFile& dimension(const std::string& name, std::size_t size, bool unlimited = false);
    // A variable over the dimensions (outermost first); values in C order, or
    // empty to leave the variable unwritten (the library's fill values).
    CfFile& variable(
        const std::string& name, int type, const std::vector<std::string>& dimensions, std::vector<double> values = {});
    // An attribute of a variable ("" for the file).
    CfFile& text(const std::string& variable, const std::string& name, const std::string& value);
    CfFile& number(const std::string& variable, const std::string& name, int type, std::vector<double> values);

    // A current turning about the middle of columns x rows nodes 0.1 degrees
    // apart, latitude stored north to south, at two times (the second twice
    // as strong), with a value of 280 + lon + lat + time.
    static CfFile rotatingCurrent(
        std::size_t columns, std::size_t rows, const std::string& u, const std::string& v, const std::string& value);

    // Writes the file or fails the calling test (through an exception with
    // the library's message).
    void write(const std::string& path, Format format = Format::Classic) const;

private:
    struct Dimension {
        std::string name;
        std::size_t size;
        bool unlimited;
    };
    struct Attribute {
        std::string variable;
        std::string name;
        int type; // 0: text
        std::string text;
        std::vector<double> values;
    };
    struct Variable {
        std::string name;
        int type;
        std::vector<std::string> dimensions;
        std::vector<double> values;
    };
    std::vector<Dimension> dimensions_;
    std::vector<Variable> variables_;
    std::vector<Attribute> attributes_;
};

} // namespace tvl::test
