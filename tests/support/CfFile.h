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
    enum class Format { Classic, Netcdf4 };

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

    // False with the library's message in error.
    bool write(const std::string& path, Format format, std::string& error) const;
    // Writes the file or fails the calling test (through an exception).
    void writeOrThrow(const std::string& path, Format format = Format::Classic) const;

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
