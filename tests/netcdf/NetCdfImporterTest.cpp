#include "netcdf/NetCdfImporter.h"

#include "CfFile.h"
#include "FlowFiles.h"
#include "TempDir.h"
#include "ToolRun.h"

#include "flow/FlowData.h"
#include "flow/NodeGrid.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace tvl {
namespace {

// Position and velocity of node (i, j) of a node grid.
struct NodeAt {
    float x, y, z, vx, vy, vz;
};

NodeAt nodeAt(const NodeGrid& nodes, int i, int j)
{
    const float* p = &nodes.positions[3 * nodes.index(i, j)];
    const float* r = &nodes.records[nodes.recordSize() * nodes.index(i, j)];
    return {p[0], p[1], p[2], r[0], r[1], r[2]};
}

using test::CfFile;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const std::string kTag = "[Tavrel|NetCdfImporter|importFile]: ";

// Values that say where they were read: exact in every type used here.
double uAt(double lon, double lat)
{
    return lon + 10.0 * lat;
}
double vAt(double lon, double lat)
{
    return lon - lat;
}

// u and v on a lon × lat grid, stored (lat, lon) or, transposed, (lon, lat).
CfFile rectilinear(const std::vector<double>& lon, const std::vector<double>& lat, bool transposed = false)
{
    CfFile file;
    file.dimension("lat", lat.size()).dimension("lon", lon.size());
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).text("lat", "units", "degrees_north");
    file.variable("lon", NC_DOUBLE, {"lon"}, lon).text("lon", "units", "degrees_east");
    std::vector<double> u, v;
    for (std::size_t a = 0; a < (transposed ? lon.size() : lat.size()); ++a)
        for (std::size_t b = 0; b < (transposed ? lat.size() : lon.size()); ++b) {
            const double x = transposed ? lon[a] : lon[b], y = transposed ? lat[b] : lat[a];
            u.push_back(uAt(x, y));
            v.push_back(vAt(x, y));
        }
    const std::vector<std::string> dims
        = transposed ? std::vector<std::string> {"lon", "lat"} : std::vector<std::string> {"lat", "lon"};
    return file.variable("u", NC_FLOAT, dims, u).variable("v", NC_FLOAT, dims, v);
}

// Node (i, j) must lie at increasing x along i and y along j and hold the
// values of the place it stands for (flow coordinates / scale).
void expectNodesSayWhereTheyAre(const NodeGrid& nodes, double scale, int width, int height, const std::string& what)
{
    ASSERT_EQ(nodes.width, width) << what;
    ASSERT_EQ(nodes.height, height) << what;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const NodeAt n = nodeAt(nodes, i, j);
            const double lon = n.x / scale, lat = n.y / scale;
            EXPECT_EQ(n.vx, float(uAt(lon, lat))) << what << ": u at node " << i << ", " << j;
            EXPECT_EQ(n.vy, float(vAt(lon, lat))) << what << ": v at node " << i << ", " << j;
            EXPECT_EQ(n.vz, 0.0f) << what;
            if (i > 0) {
                EXPECT_GT(n.x, nodeAt(nodes, i - 1, j).x) << what << ": x must grow along a node row";
            }
            if (j > 0) {
                EXPECT_GT(n.y, nodeAt(nodes, i, j - 1).y) << what << ": y must grow along a node column";
            }
        }
}

class NetCdfImporterTest : public ::testing::Test {
protected:
    void SetUp() override { importer.setLogSink(&log); }

    bool read(const CfFile& file, const NetCdfImportOptions& options, NodeGrid& nodes,
        CfFile::Format format = CfFile::Format::Classic)
    {
        file.write(dir.file("f.nc"), format);
        return importer.readNodes(dir.file("f.nc"), options, nodes);
    }
    bool logged(const std::string& piece) const
    {
        for (const std::string& m : log.messages)
            if (m.rfind(kTag, 0) == 0 && m.find(piece) != std::string::npos)
                return true;
        return false;
    }

    test::TempDir dir;
    test::RecordingLog log;
    NetCdfImporter importer;
};

NetCdfImportOptions scaled(double scale)
{
    NetCdfImportOptions options;
    options.scale = scale;
    return options;
}

TEST_F(NetCdfImporterTest, AxesRunLikeAGridFileWhicheverWayTheFileStoresThem)
{
    struct Row {
        const char* name;
        std::vector<double> lon, lat;
        bool transposed;
        CfFile::Format format;
    };
    const std::vector<double> east {10, 11, 12.5, 13}, west {13, 12.5, 11, 10}, north {-1, 0, 1}, south {1, 0, -1};
    const Row rows[] = {
        {"ascending", east, north, false, CfFile::Format::Classic},
        {"latitude 90 -> -90", east, south, false, CfFile::Format::Netcdf4},
        {"descending longitude", west, north, false, CfFile::Format::Offset64},
        {"both descending", west, south, false, CfFile::Format::Cdf5},
        {"stored (lon, lat)", east, south, true, CfFile::Format::Classic},
    };
    for (const Row& row : rows) {
        NodeGrid nodes;
        log.messages.clear();
        // A long history moves the rest of the header beyond the header check's 64 KiB read window.
        CfFile file = rectilinear(row.lon, row.lat, row.transposed);
        file.text("", "history", std::string(row.transposed ? 100000 : 10, 'h'));
        ASSERT_TRUE(read(file, scaled(0.25), nodes, row.format)) << row.name;
        expectNodesSayWhereTheyAre(nodes, 0.25, 4, 3, row.name);
        EXPECT_EQ(nodeAt(nodes, 0, 0).x, 2.5f) << row.name << ": longitudes stay as given, only scaled";
        EXPECT_EQ(logged("\"lat\" fällt und wird umgedreht"), row.lat == south) << row.name;
        EXPECT_EQ(logged("vertauscht"), row.transposed) << row.name;
    }
}

TEST_F(NetCdfImporterTest, CurvilinearCoordinatesComeFromTheCoordinatesAttribute)
{
    // A sheared 5 x 4 grid stored north to south with x running along the file's rows.
    std::vector<double> lon, lat, u, v;
    for (std::size_t a = 0; a < 5; ++a)
        for (std::size_t b = 0; b < 4; ++b) {
            lon.push_back(100 + double(a) + 0.25 * double(b));
            lat.push_back(20 - double(b) + 0.25 * double(a));
            u.push_back(uAt(lon.back(), lat.back()));
            v.push_back(vAt(lon.back(), lat.back()));
        }
    CfFile file;
    file.dimension("eta", 5).dimension("xi", 4);
    file.variable("nav_lat", NC_FLOAT, {"eta", "xi"}, lat).variable("nav_lon", NC_FLOAT, {"eta", "xi"}, lon);
    file.variable("u", NC_FLOAT, {"eta", "xi"}, u).variable("v", NC_FLOAT, {"eta", "xi"}, v);
    file.text("u", "coordinates", "nav_lat nav_lon");
    NodeGrid nodes;
    ASSERT_TRUE(read(file, scaled(0.25), nodes));
    expectNodesSayWhereTheyAre(nodes, 0.25, 5, 4, "curvilinear");
    EXPECT_TRUE(logged("krummlinig"));
}

TEST_F(NetCdfImporterTest, FurtherDimensionsAreReadAtTheChosenIndex)
{
    CfFile file;
    file.dimension("time", 3).dimension("depth", 2).dimension("lat", 2).dimension("lon", 2);
    file.variable("time", NC_DOUBLE, {"time"}, {0, 6, 12}).text("time", "units", "hours since 2016-04-30");
    file.variable("lat", NC_DOUBLE, {"lat"}, {0, 1}).variable("lon", NC_DOUBLE, {"lon"}, {0, 1});
    std::vector<double> u, v;
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 2; ++k)
            for (int n = 0; n < 4; ++n) {
                u.push_back(uAt(n % 2, n / 2) + 1000 * t + 100 * k);
                v.push_back(vAt(n % 2, n / 2));
            }
    file.variable("u", NC_DOUBLE, {"time", "depth", "lat", "lon"}, u);
    file.variable("v", NC_DOUBLE, {"time", "depth", "lat", "lon"}, v);
    struct Row {
        std::vector<std::string> indices;
        int time, depth;
    };
    for (const Row& row : {Row {{}, 0, 0}, Row {{"time=2"}, 2, 0}, Row {{"depth=1", "time=1"}, 1, 1}}) {
        NetCdfImportOptions options = scaled(1.0);
        std::string error;
        for (const std::string& text : row.indices)
            ASSERT_TRUE(parseDimensionIndex(text, options, error)) << error;
        NodeGrid nodes;
        log.messages.clear();
        ASSERT_TRUE(read(file, options, nodes));
        EXPECT_EQ(nodeAt(nodes, 1, 1).vx, float(uAt(1, 1) + 1000 * row.time + 100 * row.depth))
            << "time " << row.time << ", depth " << row.depth;
        EXPECT_TRUE(logged("Dimension \"time\": Index " + std::to_string(row.time)
            + " von 0 bis 2 (time = " + std::to_string(6 * row.time) + " hours since 2016-04-30)."));
        EXPECT_TRUE(logged("Dimension \"depth\": Index " + std::to_string(row.depth) + " von 0 bis 1."));
    }
}

TEST_F(NetCdfImporterTest, EveryNumericTypeIsReadWithItsMissingValuesAndPacking)
{
    struct Row {
        const char* name;
        int type;
        std::vector<double> raw;
        std::vector<double> expected; // NaN: missing
        std::function<void(CfFile&)> attributes;
    };
    const auto none = [](CfFile&) {};
    const Row rows[] = {
        {"byte: every value is data", NC_BYTE, {1, -2, 3, -127}, {1, -2, 3, -127}, none},
        {"short, default fill", NC_SHORT, {-32767, 5, 6, 7}, {kNaN, 5, 6, 7}, none},
        {"ushort, default fill", NC_USHORT, {65535, 1, 2, 3}, {kNaN, 1, 2, 3}, none},
        {"int, default fill", NC_INT, {-2147483647, 1, 2, 3}, {kNaN, 1, 2, 3}, none},
        {"uint, default fill", NC_UINT, {7, 8, 9, 4294967295.0}, {7, 8, 9, kNaN}, none},
        {"float: default fill and NaN", NC_FLOAT, {NC_FILL_FLOAT, 1.5, kNaN, -2}, {kNaN, 1.5, kNaN, -2}, none},
        {"double: _FillValue and two missing_values", NC_DOUBLE, {-999, 77, -1e30, 2.5}, {kNaN, kNaN, kNaN, 2.5},
            [](CfFile& f) {
                f.number("u", "_FillValue", NC_DOUBLE, {-999}).number("u", "missing_value", NC_DOUBLE, {-1e30, 77});
            }},
        {"packed short: the fill is the packed value", NC_SHORT, {-1, 0, 4, -32767}, {kNaN, 10, 12, -32767 * 0.5 + 10},
            [](CfFile& f) {
                f.number("u", "scale_factor", NC_FLOAT, {0.5}).number("u", "add_offset", NC_FLOAT, {10});
                f.number("u", "_FillValue", NC_SHORT, {-1});
            }},
        {"byte with _Unsigned", NC_BYTE, {-1, 1, -128, 127}, {510, 2, 256, 254},
            [](CfFile& f) { f.text("u", "_Unsigned", "true").number("u", "scale_factor", NC_DOUBLE, {2}); }},
    };
    for (const Row& row : rows) {
        CfFile file;
        file.dimension("y", 2).dimension("x", 2);
        file.variable("u", row.type, {"y", "x"}, row.raw).variable("v", NC_FLOAT, {"y", "x"}, {0, 0, 0, 0});
        row.attributes(file);
        NodeGrid nodes;
        ASSERT_TRUE(read(file, scaled(1.0), nodes, CfFile::Format::Netcdf4)) << row.name;
        for (int n = 0; n < 4; ++n) {
            const float u = nodeAt(nodes, n % 2, n / 2).vx;
            if (std::isnan(row.expected[std::size_t(n)]))
                EXPECT_TRUE(std::isnan(u)) << row.name << ": value " << n << " is missing, read " << u;
            else
                EXPECT_EQ(u, float(row.expected[std::size_t(n)])) << row.name << ": value " << n;
        }
    }
}

TEST_F(NetCdfImporterTest, VelocityIsFoundByStandardNameThenByCommonName)
{
    struct Row {
        std::vector<std::pair<std::string, std::string>> variables; // name, standard_name
        std::string u, v; // named by the user
        std::string expectedU, expectedV;
    };
    const Row rows[] = {
        {{{"u", ""}, {"v", ""}, {"p", "sea_water_x_velocity"}, {"q", "sea_water_y_velocity"}}, "", "", "p", "q"},
        {{{"xw", "x_wind"}, {"yw", "y_wind"}, {"e", "surface_eastward_sea_water_velocity"},
             {"n", "surface_northward_sea_water_velocity"}},
            "", "", "e", "n"},
        {{{"east", "eastward_wind"}, {"U", ""}, {"V", ""}, {"u10", ""}, {"v10", ""}}, "", "", "u10", "v10"},
        {{{"U", ""}, {"V", ""}, {"uo", ""}, {"vo", ""}}, "", "", "uo", "vo"},
        {{{"u", ""}, {"v", ""}, {"U", ""}, {"V", ""}}, "V", "U", "V", "U"},
        // Half a pair is no pair: the next whole one is taken.
        {{{"u", ""}, {"v10", ""}, {"U", ""}, {"V", ""}}, "", "", "U", "V"},
    };
    for (const Row& row : rows) {
        CfFile file;
        file.dimension("y", 2).dimension("x", 2);
        for (std::size_t k = 0; k < row.variables.size(); ++k) {
            const auto& [name, standard] = row.variables[k];
            file.variable(name, NC_FLOAT, {"y", "x"}, std::vector<double>(4, double(k + 1)));
            if (!standard.empty())
                file.text(name, "standard_name", standard);
        }
        NetCdfImportOptions options = scaled(1.0);
        options.u = row.u;
        options.v = row.v;
        NodeGrid nodes;
        ASSERT_TRUE(read(file, options, nodes)) << row.expectedU;
        auto indexOf = [&](const std::string& name) {
            for (std::size_t k = 0; k < row.variables.size(); ++k)
                if (row.variables[k].first == name)
                    return float(k + 1);
            return 0.0f;
        };
        EXPECT_EQ(nodeAt(nodes, 1, 1).vx, indexOf(row.expectedU)) << "expected u from " << row.expectedU;
        EXPECT_EQ(nodeAt(nodes, 1, 1).vy, indexOf(row.expectedV)) << "expected v from " << row.expectedV;
    }
}

TEST_F(NetCdfImporterTest, BadFilesFailWithOneTaggedCauseAndKeepThePreviousDataSet)
{
    using Write = std::function<void(const std::string&)>;
    auto cf = [](CfFile file) -> Write { return [file](const std::string& path) { file.write(path); }; };
    auto option = [](auto set) {
        NetCdfImportOptions o;
        set(o);
        return o;
    };
    CfFile withValue = rectilinear({0, 1}, {0, 1});
    withValue.dimension("z", 3).variable("depth", NC_FLOAT, {"z", "lat"}, std::vector<double>(6, 1.0));
    CfFile timed;
    timed.dimension("time", 0, true).dimension("lat", 2).dimension("lon", 2);
    timed.variable("u", NC_FLOAT, {"time", "lat", "lon"}).variable("v", NC_FLOAT, {"time", "lat", "lon"});
    CfFile mismatched = rectilinear({0, 1, 2}, {0, 1});
    mismatched.variable("v2", NC_FLOAT, {"lon", "lat"}, std::vector<double>(6, 1.0));
    CfFile curvy; // x turns back in the middle row only; y grows everywhere
    curvy.dimension("y", 3).dimension("x", 3);
    curvy.variable("lon", NC_FLOAT, {"y", "x"}, {0, 1, 2, 0, 1.5, 1, 0, 1, 2});
    curvy.variable("lat", NC_FLOAT, {"y", "x"}, {0, 0, 0, 1, 1, 1, 2, 2, 2});
    curvy.variable("u", NC_FLOAT, {"y", "x"}, std::vector<double>(9, 1.0));
    curvy.variable("v", NC_FLOAT, {"y", "x"}, std::vector<double>(9, 1.0)).text("u", "coordinates", "lon lat");
    CfFile timeIndexed;
    timeIndexed.dimension("time", 3).dimension("lat", 2).dimension("lon", 2);
    timeIndexed.variable("u", NC_FLOAT, {"time", "lat", "lon"}).variable("v", NC_FLOAT, {"time", "lat", "lon"});

    struct Row {
        const char* name;
        Write write;
        NetCdfImportOptions options;
        const char* cause;
    };
    const auto fuzzed = [](const std::string& name) -> Write {
        return [name](const std::string& path) {
            test::writeBytes(path, test::readBytes(TVL_SOURCE_DIR "/fuzz/regressions-netcdf/" + name));
        };
    };
    // The fuzzer's findings: the library would allocate what such a header
    // declares (2 GB for an 868-byte file) or divide by zero before it noticed.
    const char* const kBrokenHeader = "Der Kopf der NetCDF-Datei ist beschädigt";
    const Row rows[] = {
        {"attribute longer than the file", fuzzed("attribute-longer-than-the-file"), {}, kBrokenHeader},
        {"CDF-1 attribute longer than the file", fuzzed("cdf1-attribute-longer-than-the-file"), {}, kBrokenHeader},
        {"record dimension not first", fuzzed("record-dimension-not-first"), {}, kBrokenHeader},
        {"not NetCDF", [](const std::string& p) { test::writeBytes(p, "SN4DB 2 2 1 0 0 0.0"); }, {},
            "keine lesbare NetCDF-Datei"},
        {"no velocity", cf(CfFile().dimension("y", 2).dimension("x", 2).variable("t", NC_FLOAT, {"y", "x"})), {},
            "Keine Geschwindigkeit gefunden"},
        {"one component named", cf(rectilinear({0, 1}, {0, 1})), option([](auto& o) { o.u = "u"; }),
            "beide Geschwindigkeitskomponenten"},
        {"named variable absent", cf(rectilinear({0, 1}, {0, 1})), option([](auto& o) { o.values = {"sst"}; }),
            "\"sst\" gibt es nicht"},
        {"text velocity",
            cf(CfFile()
                    .dimension("y", 2)
                    .dimension("x", 2)
                    .variable("u", NC_CHAR, {"y", "x"})
                    .variable("v", NC_FLOAT, {"y", "x"})),
            option([](auto& o) { o.u = "u", o.v = "v"; }), "enthält keine Zahlen"},
        {"one-dimensional velocity", cf(rectilinear({0, 1}, {0, 1})), option([](auto& o) { o.u = "lon", o.v = "lat"; }),
            "weniger als zwei Dimensionen"},
        {"u and v on different dimensions", cf(mismatched), option([](auto& o) { o.u = "u", o.v = "v2"; }),
            "verschiedene Dimensionen"},
        {"value off the grid", cf(withValue), option([](auto& o) { o.values = {"depth"}; }), "nicht auf dem Gitter"},
        {"non-monotonic latitude", cf(rectilinear({0, 1}, {0, 2, 1})), {}, "\"lat\" ist nicht streng monoton"},
        {"non-monotonic curvilinear grid", cf(curvy), {}, "nicht streng monoton"},
        {"missing coordinate", cf(rectilinear({0, NC_FILL_DOUBLE}, {0, 1})), {}, "nicht endliche Werte"},
        {"one point along an axis", cf(rectilinear({0, 1}, {0})), {}, "mindestens 2 x 2"},
        {"index out of range", cf(timeIndexed), option([](auto& o) {
             o.indices = {{"time", 3}};
         }),
            "Index 3 liegt außerhalb der Dimension \"time\" (0 bis 2)"},
        {"unknown dimension", cf(timeIndexed), option([](auto& o) {
             o.indices = {{"tmie", 1}};
         }),
            "\"tmie\" kommt in den gewählten Variablen nicht vor."},
        {"empty record dimension", cf(timed), {}, "\"time\" ist leer"},
        {"bad scale", cf(rectilinear({0, 1}, {0, 1})), option([](auto& o) { o.scale = -1.0; }), "Ungültiger Maßstab"},
        {"regular grid over the cap", cf(rectilinear({0, 1000}, {0, 1000})),
            option([](auto& o) { o.scale = 1.0, o.regularGridCap = 4 << 20; }),
            "zu groß (höchstens 4 MiB); ein kleinerer Maßstab hilft."},
        {"node grid over the cap", cf(rectilinear(std::vector<double>(300, 0), std::vector<double>(300, 0))),
            option([](auto& o) { o.regularGridCap = 1 << 20; }), "zu groß (höchstens"},
    };
    FlowData flow;
    ASSERT_TRUE(importer.importFile(
        (rectilinear({0, 1}, {0, 1}).write(dir.file("good.nc")), dir.file("good.nc")), scaled(1.0), flow));
    const int width = flow.getWidth();
    const float maxSpeed = flow.getMaxSpeed();
    for (const Row& row : rows) {
        const std::string path = dir.file(std::string(row.name) + ".nc");
        row.write(path);
        log.messages.clear();
        EXPECT_FALSE(importer.importFile(path, row.options, flow)) << row.name;
        ASSERT_EQ(log.messages.size(), 1u) << row.name << ": one line, the cause";
        EXPECT_EQ(log.messages[0].rfind(kTag, 0), 0u) << log.messages[0];
        EXPECT_NE(log.messages[0].find(row.cause), std::string::npos) << row.name << ": " << log.messages[0];
        EXPECT_EQ(flow.getWidth(), width) << row.name << ": the previous data set must stay";
        EXPECT_EQ(flow.getMaxSpeed(), maxSpeed) << row.name;
    }
}

TEST_F(NetCdfImporterTest, AutomaticScaleGivesTheRegularGridTheNodeResolution)
{
    struct Row {
        const char* name;
        int columns, rows;
        double x0, dx, y0, dy, scale;
    };
    const Row rows[] = {
        {"1 degree global", 360, 181, 0, 1, -90, 1, 0.02},
        {"0.25 degree regional, descending", 200, 100, -30, 0.25, 60, -0.25, 0.08},
        {"metres", 501, 201, 0, 200, 0, 200, 0.02 * 500 / 100000},
        {"taller than wide", 11, 51, 0, 1, 0, 2, 0.02 * 50 / 100},
    };
    for (const Row& row : rows) {
        std::vector<double> lon, lat;
        for (int i = 0; i < row.columns; ++i)
            lon.push_back(row.x0 + row.dx * i);
        for (int j = 0; j < row.rows; ++j)
            lat.push_back(row.y0 + row.dy * j);
        rectilinear(lon, lat).write(dir.file("s.nc"));
        FlowData flow;
        log.messages.clear();
        ASSERT_TRUE(importer.importFile(dir.file("s.nc"), {}, flow)) << row.name;
        NetCdfScan scan;
        ASSERT_TRUE(importer.scanFile(dir.file("s.nc"), scan));
        EXPECT_NEAR(scan.automaticScale, row.scale, 1e-12 * row.scale) << row.name;
        const bool wide = row.columns * std::abs(row.dx) >= row.rows * std::abs(row.dy);
        EXPECT_NEAR(wide ? flow.getWidth() : flow.getHeight(), wide ? row.columns : row.rows, 1)
            << row.name << ": the longer axis has one cell per node spacing";
        EXPECT_TRUE(logged("(automatisch gewählt)")) << row.name;
    }
}

TEST_F(NetCdfImporterTest, ScanListsWhatTheDialogOffers)
{
    CfFile file = rectilinear({0, 1, 2}, {0, 0.5, 1, 1.5, 2, 2.5});
    file.dimension("time", 4).variable("sst", NC_FLOAT, {"time", "lat", "lon"});
    file.variable("east", NC_FLOAT, {"lat", "lon"}).text("east", "standard_name", "eastward_wind");
    file.variable("north", NC_FLOAT, {"lat", "lon"}).text("north", "standard_name", "northward_wind");
    file.write(dir.file("scan.nc"), CfFile::Format::Netcdf4);
    NetCdfScan scan;
    ASSERT_TRUE(importer.scanFile(dir.file("scan.nc"), scan));
    std::string names;
    for (const auto& v : scan.variables)
        names += v.name + " ";
    EXPECT_EQ(names, "u v sst east north ") << "fields in file order";
    EXPECT_EQ(scan.velocityPairs, (std::vector<std::pair<std::string, std::string>> {{"east", "north"}, {"u", "v"}}));
    EXPECT_EQ(scan.gridValues, (std::vector<std::string> {"u", "v", "sst"}));
    ASSERT_EQ(scan.dimensions.size(), 1u);
    EXPECT_TRUE(scan.dimensions[0].name == "time" && scan.dimensions[0].size == 4u);

    test::writeBytes(dir.file("plain.nc"), "plain text");
    CfFile flat;
    flat.dimension("x", 3).variable("lon", NC_FLOAT, {"x"});
    flat.write(dir.file("flat.nc"));
    log.messages.clear();
    EXPECT_FALSE(importer.scanFile(dir.file("plain.nc"), scan));
    EXPECT_FALSE(importer.scanFile(dir.file("flat.nc"), scan));
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_NE(log.messages[1].find("[Tavrel|NetCdfImporter|scanFile]: Die Datei enthält keine Zahlenvariable"),
        std::string::npos)
        << log.messages[1];
}

TEST_F(NetCdfImporterTest, ImportFromMemoryEqualsImportFromFile)
{
    rectilinear({0, 1, 3, 4}, {2, 1, 0}).write(dir.file("m.nc"));
    const std::string bytes = test::readBytes(dir.file("m.nc"));
    FlowData fromFile, fromMemory;
    ASSERT_TRUE(importer.importFile(dir.file("m.nc"), {}, fromFile));
    ASSERT_TRUE(importer.importMemory(bytes.data(), bytes.size(), {}, fromMemory));
    ASSERT_EQ(fromMemory.regularGrid().samples.size(), fromFile.regularGrid().samples.size());
    for (std::size_t n = 0; n < fromFile.regularGrid().samples.size(); ++n)
        ASSERT_EQ(fromMemory.regularGrid().samples[n].vx, fromFile.regularGrid().samples[n].vx) << "sample " << n;
    const std::string broken
        = test::readBytes(TVL_SOURCE_DIR "/fuzz/regressions-netcdf/attribute-longer-than-the-file");
    EXPECT_FALSE(importer.importMemory(broken.data(), broken.size(), {}, fromMemory));
    EXPECT_NE(log.messages.back().find("Der Kopf der NetCDF-Datei ist beschädigt"), std::string::npos)
        << "the header check guards the memory image too: " << log.messages.back();
    EXPECT_EQ(fromMemory.getWidth(), fromFile.getWidth());
}

TEST(NetCdfImportOptionsTest, DimensionIndexIsDimEqualsANonNegativeNumber)
{
    NetCdfImportOptions options;
    std::string error;
    ASSERT_TRUE(parseDimensionIndex("time=3", options, error));
    ASSERT_TRUE(parseDimensionIndex("depth=0", options, error));
    ASSERT_TRUE(parseDimensionIndex("time=7", options, error));
    EXPECT_EQ(options.indices, (std::vector<std::pair<std::string, long long>> {{"time", 7}, {"depth", 0}}))
        << "a later index for the same dimension replaces the earlier one";
    for (const char* bad : {"time", "=3", "time=", "time=-1", "time=3x", "time=1e3"}) {
        EXPECT_FALSE(parseDimensionIndex(bad, options, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    EXPECT_EQ(options.indices.size(), 2u) << "bad text leaves the options alone";
}

// The real global wind field as the CF files a weather service publishes
// (latitude north first; float, or 16-bit packed with fill values), written
// by tvl-write-real-wind and imported at the pair's scale (x = longitude /
// 32), against the pair itself.
TEST(NetCdfRealWindTest, CfFilesReproduceThePair)
{
    const std::string shared = test::sharedDataDir();
    if (shared.empty())
        GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    const std::string stem = shared + "/real/gfs_wind10m_20160430T06";
    FlowData pair;
    ASSERT_TRUE(pair.loadData(stem + ".gri", stem + ".dat"));
    const int w = pair.getWidth();
    // Three nodes (of 361 per row) whose four cells hold NaN samples then.
    const std::string fillNodes = "--fill-nodes=" + std::to_string(50 * 361 + 100) + ","
        + std::to_string(120 * 361 + 200) + "," + std::to_string(30 * 361 + 300);
    for (const bool packed : {false, true}) {
        const test::TempDir dir;
        const test::ToolRun written = test::runTool(TVL_WRITE_REAL_WIND,
            packed ? std::vector<std::string> {stem, dir.file("wind.nc"), "--packed", fillNodes}
                   : std::vector<std::string> {stem, dir.file("wind.nc")});
        ASSERT_EQ(written.exitCode, 0) << written.err;
        FlowData imported;
        NetCdfImportOptions options;
        options.values = {"vorticity"};
        options.scale = 1.0 / 32.0;
        ASSERT_TRUE(NetCdfImporter().importFile(dir.file("wind.nc"), options, imported));
        ASSERT_TRUE(imported.getWidth() == w && imported.getHeight() == pair.getHeight()) << "563 x 282 samples";
        // Float values come through to the bit; packed ones within half a
        // step of 16-bit packing over about 60 units, and the blend's rounding.
        const float tolerance = packed ? 1e-3f : 0.0f;
        int nan = 0;
        for (int r = 0; r < pair.getHeight(); ++r)
            for (int c = 0; c < w; ++c) {
                const RegularSample& got = imported.regularGrid().samples[std::size_t(r * w + c)];
                const RegularSample& want = pair.regularGrid().samples[std::size_t(r * w + c)];
                if (packed && std::isnan(got.vx)) {
                    ++nan;
                    continue;
                }
                ASSERT_NEAR(got.vx, want.vx, tolerance) << "u at " << c << ", " << r << (packed ? " packed" : "");
                ASSERT_NEAR(got.vy, want.vy, tolerance) << "v at " << c << ", " << r << (packed ? " packed" : "");
                ASSERT_NEAR(imported.regularGrid().value(c, r, 0), pair.regularGrid().value(c, r, 0), tolerance)
                    << "vorticity at " << c << ", " << r << (packed ? " packed" : "");
            }
        // A cell is 1.5625 samples wide: each missing node blanks 4 to 16 samples.
        EXPECT_TRUE(!packed || (nan >= 3 * 4 && nan <= 3 * 16)) << nan << " NaN samples";
    }
}

} // namespace
} // namespace tvl
