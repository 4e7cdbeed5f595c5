#include "netcdf/NetCdfGrid.h"

#include "netcdf/NetCdfCatalogue.h"
#include "netcdf/NetCdfVariable.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <numeric>
#include <sstream>

namespace tvl {
namespace {

enum class Axis { Unknown, X, Y };

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// What a coordinate variable says about itself, strongest evidence first.
Axis axisOf(const NetCdfVariable* variable)
{
    if (!variable)
        return Axis::Unknown;
    const std::string axis = lower(variable->axis);
    if (axis == "x")
        return Axis::X;
    if (axis == "y")
        return Axis::Y;
    const std::string standard = lower(variable->standardName);
    if (standard == "longitude" || standard == "grid_longitude" || standard == "projection_x_coordinate")
        return Axis::X;
    if (standard == "latitude" || standard == "grid_latitude" || standard == "projection_y_coordinate")
        return Axis::Y;
    const std::string units = lower(variable->units);
    for (const char* east : {"degrees_east", "degree_east", "degree_e", "degrees_e", "degreee", "degreese"})
        if (units == east)
            return Axis::X;
    for (const char* north : {"degrees_north", "degree_north", "degree_n", "degrees_n", "degreen", "degreesn"})
        if (units == north)
            return Axis::Y;
    const std::string name = lower(variable->name);
    if (startsWith(name, "lon") || startsWith(name, "nav_lon") || name == "x")
        return Axis::X;
    if (startsWith(name, "lat") || startsWith(name, "nav_lat") || name == "y")
        return Axis::Y;
    return Axis::Unknown;
}

std::vector<std::string> listedNames(const NetCdfVariable& field)
{
    std::vector<std::string> names;
    std::istringstream listed(field.coordinates);
    for (std::string name; listed >> name;)
        names.push_back(name);
    return names;
}

std::string quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

bool allFinite(const std::vector<double>& values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

// +1 strictly increasing, -1 strictly decreasing, 0 neither.
int monotony(const std::vector<double>& values)
{
    bool up = true;
    bool down = true;
    for (std::size_t k = 1; k < values.size(); ++k) {
        up = up && values[k] > values[k - 1];
        down = down && values[k] < values[k - 1];
    }
    return up ? 1 : (down ? -1 : 0);
}

} // namespace

bool NetCdfGrid::locate(
    const NetCdfCatalogue& catalogue, const NetCdfVariable& field, std::size_t maxNodes, std::string& cause)
{
    *this = NetCdfGrid {};
    const std::size_t rank = field.rank();
    if (rank < 2) {
        cause = "Die Variable " + quoted(field.name) + " hat weniger als zwei Dimensionen.";
        return false;
    }
    const std::string& rowDimension = field.dimensions[rank - 2];
    const std::string& columnDimension = field.dimensions[rank - 1];
    fileRows_ = field.shape[rank - 2];
    fileColumns_ = field.shape[rank - 1];
    if (fileRows_ < 2 || fileColumns_ < 2) {
        cause = "Das Gitter von " + field.signature() + " hat nur " + std::to_string(fileColumns_) + " x "
            + std::to_string(fileRows_) + " Punkte; es braucht mindestens 2 x 2.";
        return false;
    }
    if (fileRows_ > INT_MAX || fileColumns_ > INT_MAX || fileRows_ > maxNodes / fileColumns_) {
        cause = "Das Gitter von " + field.signature() + " ist mit " + std::to_string(fileColumns_) + " x "
            + std::to_string(fileRows_) + " Knoten zu groß (höchstens " + std::to_string(maxNodes) + " Knoten).";
        return false;
    }

    const std::vector<std::string> listed = listedNames(field);
    auto axisVariable = [&](const std::string& dimension) -> const NetCdfVariable* {
        auto fits = [&](const NetCdfVariable* v) {
            return v && v->isNumeric() && v->rank() == 1 && v->dimensions[0] == dimension;
        };
        if (const NetCdfVariable* own = catalogue.find(dimension); fits(own))
            return own;
        for (const std::string& name : listed)
            if (const NetCdfVariable* v = catalogue.find(name); fits(v))
                return v;
        return nullptr;
    };
    const NetCdfVariable* columns = axisVariable(columnDimension);
    const NetCdfVariable* rows = axisVariable(rowDimension);
    if (!(columns && rows)) {
        std::vector<const NetCdfVariable*> surfaces;
        for (const std::string& name : listed) {
            const NetCdfVariable* v = catalogue.find(name);
            if (v && v->isNumeric() && v->rank() == 2 && v->dimensions[0] == rowDimension
                && v->dimensions[1] == columnDimension)
                surfaces.push_back(v);
        }
        if (surfaces.size() >= 2) {
            const NetCdfVariable* x = nullptr;
            const NetCdfVariable* y = nullptr;
            for (const NetCdfVariable* v : surfaces) {
                if (!x && axisOf(v) == Axis::X)
                    x = v;
                else if (!y && axisOf(v) == Axis::Y)
                    y = v;
            }
            if (!x || !y) {
                x = surfaces[0];
                y = surfaces[1];
            }
            return readSurfaces(*x, *y, cause);
        }
    }
    return readAxes(columns, rows, cause);
}

void NetCdfGrid::orient(bool transposed, bool flipI, bool flipJ)
{
    width_ = static_cast<int>(transposed ? fileRows_ : fileColumns_);
    height_ = static_cast<int>(transposed ? fileColumns_ : fileRows_);
    const std::ptrdiff_t w = width_;
    const std::ptrdiff_t h = height_;
    base_ = (flipJ ? (h - 1) * w : 0) + (flipI ? w - 1 : 0);
    const std::ptrdiff_t alongI = flipI ? -1 : 1;
    const std::ptrdiff_t alongJ = flipJ ? -w : w;
    rowStride_ = transposed ? alongI : alongJ;
    columnStride_ = transposed ? alongJ : alongI;
}

bool NetCdfGrid::readAxes(const NetCdfVariable* columns, const NetCdfVariable* rows, std::string& cause)
{
    auto readAxis = [&](const NetCdfVariable* coordinate, std::size_t length, std::vector<double>& values) {
        if (!coordinate) {
            values.resize(length);
            std::iota(values.begin(), values.end(), 0.0);
            return true;
        }
        if (!coordinate->read({0}, {length}, values, cause))
            return false;
        if (!allFinite(values)) {
            cause = "Die Koordinate " + quoted(coordinate->name) + " enthält fehlende oder nicht endliche Werte.";
            return false;
        }
        if (monotony(values) == 0) {
            cause = "Die Koordinate " + quoted(coordinate->name) + " ist nicht streng monoton.";
            return false;
        }
        return true;
    };
    std::vector<double> columnValues;
    std::vector<double> rowValues;
    if (!readAxis(columns, fileColumns_, columnValues) || !readAxis(rows, fileRows_, rowValues))
        return false;

    const Axis columnAxis = axisOf(columns);
    const Axis rowAxis = axisOf(rows);
    const bool transposed
        = (columnAxis == Axis::Y && rowAxis != Axis::Y) || (rowAxis == Axis::X && columnAxis != Axis::X);
    x_ = transposed ? rowValues : columnValues;
    y_ = transposed ? columnValues : rowValues;
    const bool flipI = x_.back() < x_.front();
    const bool flipJ = y_.back() < y_.front();
    if (flipI)
        std::reverse(x_.begin(), x_.end());
    if (flipJ)
        std::reverse(y_.begin(), y_.end());
    orient(transposed, flipI, flipJ);

    const NetCdfVariable* xVariable = transposed ? rows : columns;
    const NetCdfVariable* yVariable = transposed ? columns : rows;
    auto source = [](const NetCdfVariable* v) { return v ? quoted(v->name) : std::string("dem Index"); };
    description_ = "Koordinaten: x aus " + source(xVariable) + ", y aus " + source(yVariable) + " (1-D)";
    if (transposed)
        description_ += "; die Gitterdimensionen sind vertauscht gespeichert";
    if (flipI)
        description_ += "; " + source(xVariable) + " fällt und wird umgedreht";
    if (flipJ)
        description_ += "; " + source(yVariable) + " fällt und wird umgedreht";
    description_ += "; " + std::to_string(width_) + " x " + std::to_string(height_) + " Knoten.";
    return true;
}

bool NetCdfGrid::readSurfaces(const NetCdfVariable& xVariable, const NetCdfVariable& yVariable, std::string& cause)
{
    curvilinear_ = true;
    std::vector<double> xs;
    std::vector<double> ys;
    if (!xVariable.read({0, 0}, {fileRows_, fileColumns_}, xs, cause)
        || !yVariable.read({0, 0}, {fileRows_, fileColumns_}, ys, cause))
        return false;
    for (const auto* v : {&xVariable, &yVariable})
        if (!allFinite(v == &xVariable ? xs : ys)) {
            cause = "Die Koordinate " + quoted(v->name) + " enthält fehlende oder nicht endliche Werte.";
            return false;
        }

    // Which file direction x runs along, and which way, from the middle row
    // and column; every node is checked afterwards.
    const std::size_t cols = fileColumns_;
    const std::size_t midRow = fileRows_ / 2 * cols;
    const std::size_t midColumn = cols / 2;
    const std::size_t lastRow = (fileRows_ - 1) * cols;
    const double xAlongColumns = xs[midRow + cols - 1] - xs[midRow];
    const double xAlongRows = xs[lastRow + midColumn] - xs[midColumn];
    const bool transposed = std::abs(xAlongRows) > std::abs(xAlongColumns);
    const double yAlongJ = transposed ? ys[midRow + cols - 1] - ys[midRow] : ys[lastRow + midColumn] - ys[midColumn];
    const bool flipI = (transposed ? xAlongRows : xAlongColumns) < 0.0;
    const bool flipJ = yAlongJ < 0.0;
    orient(transposed, flipI, flipJ);

    x_.assign(nodeCount(), 0.0);
    y_.assign(nodeCount(), 0.0);
    for (std::size_t r = 0; r < fileRows_; ++r)
        for (std::size_t c = 0; c < cols; ++c) {
            const auto node = static_cast<std::size_t>(
                base_ + static_cast<std::ptrdiff_t>(r) * rowStride_ + static_cast<std::ptrdiff_t>(c) * columnStride_);
            x_[node] = xs[r * cols + c];
            y_[node] = ys[r * cols + c];
        }
    const std::size_t w = std::size_t(width_);
    for (std::size_t j = 0; j < std::size_t(height_); ++j)
        for (std::size_t i = 0; i < w; ++i) {
            const std::size_t n = j * w + i;
            if ((i + 1 < w && !(x_[n + 1] > x_[n])) || (j + 1 < std::size_t(height_) && !(y_[n + w] > y_[n]))) {
                cause = "Die Koordinaten " + quoted(xVariable.name) + " und " + quoted(yVariable.name)
                    + " sind nicht streng monoton: x muss entlang jeder Gitterzeile und y entlang jeder Gitterspalte"
                      " wachsen.";
                return false;
            }
        }

    description_ = "Koordinaten: x aus " + quoted(xVariable.name) + ", y aus " + quoted(yVariable.name)
        + " (2-D, krummliniges Gitter)";
    if (transposed)
        description_ += "; die Gitterdimensionen sind vertauscht gespeichert";
    if (flipI)
        description_ += "; die Spalten werden umgedreht";
    if (flipJ)
        description_ += "; die Zeilen werden umgedreht";
    description_ += "; " + std::to_string(width_) + " x " + std::to_string(height_) + " Knoten.";
    return true;
}

double NetCdfGrid::automaticScale() const
{
    double xMin = x_.front(), xMax = x_.front(), yMin = y_.front(), yMax = y_.front();
    for (double x : x_) {
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
    }
    for (double y : y_) {
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    }
    const double xExtent = xMax - xMin;
    const double yExtent = yMax - yMin;
    // The cell size 0.02 taken as the decimal it stands for, so that the
    // factor of a 1-degree grid reads 0.02 rather than 0.0199999996.
    const double scale
        = xExtent >= yExtent ? 0.02 * double(width_ - 1) / xExtent : 0.02 * double(height_ - 1) / yExtent;
    return std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

void NetCdfGrid::writePositions(double scale, float* xyz) const
{
    const std::size_t w = std::size_t(width_);
    const std::size_t h = std::size_t(height_);
    if (curvilinear_) {
        for (std::size_t n = 0; n < w * h; ++n) {
            xyz[3 * n] = static_cast<float>(x_[n] * scale);
            xyz[3 * n + 1] = static_cast<float>(y_[n] * scale);
            xyz[3 * n + 2] = 0.0f;
        }
        return;
    }
    std::vector<float> xs(w);
    for (std::size_t i = 0; i < w; ++i)
        xs[i] = static_cast<float>(x_[i] * scale);
    for (std::size_t j = 0; j < h; ++j) {
        const float y = static_cast<float>(y_[j] * scale);
        float* row = xyz + 3 * j * w;
        for (std::size_t i = 0; i < w; ++i) {
            row[3 * i] = xs[i];
            row[3 * i + 1] = y;
            row[3 * i + 2] = 0.0f;
        }
    }
}

void NetCdfGrid::flowBounds(double scale, float& xMin, float& xMax, float& yMin, float& yMax) const
{
    xMin = yMin = INFINITY;
    xMax = yMax = -INFINITY;
    for (double x : x_) {
        const float f = static_cast<float>(x * scale);
        xMin = std::min(xMin, f);
        xMax = std::max(xMax, f);
    }
    for (double y : y_) {
        const float f = static_cast<float>(y * scale);
        yMin = std::min(yMin, f);
        yMax = std::max(yMax, f);
    }
}

} // namespace tvl
