#include "FlowShapes.h"

#include "FlowFiles.h"

#include <limits>

namespace tvl::test {
namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

std::vector<float> square(float side)
{
    return rectilinearPositions({0.0f, side}, {0.0f, side});
}
std::vector<float> records(int nodes, int perNode)
{
    return std::vector<float>(std::size_t(nodes * perNode), 0.5f);
}

// A pair of files: the grid file's header and nodes (a unit square by
// default), the data file's records (three floats for each of four nodes).
FlowShape files(std::string name, std::string cause, std::string header, std::vector<float> positions = square(1),
    std::vector<float> data = records(4, 3))
{
    return {std::move(name), std::move(cause),
        [header, positions, data](const std::string& grid, const std::string& dataPath) {
            writeGridFile(grid, header, positions);
            writeDataFile(dataPath, data);
        }};
}

} // namespace

const std::vector<FlowShape>& badFlowShapes()
{
    static const std::vector<FlowShape> shapes = {
        {"GridCannotBeOpened", "Gitterdatei kann nicht",
            [](const std::string&, const std::string& data) { writeDataFile(data, records(4, 3)); }},
        {"DataCannotBeOpened", "Datendatei kann nicht",
            [](const std::string& grid, const std::string&) { writeGridFile(grid, "SN4DB 2 2 1 0 0 0.0", square(1)); }},
        {"ShortHeader", "kürzer als ihr Dateikopf",
            [](const std::string& grid, const std::string& data) {
                writeBytes(grid, "SN4DB 2 2 1 0");
                writeDataFile(data, records(4, 3));
            }},
        files("FiveFields", "5 von 6", "SN4DB 2 2 1 0 0"),
        files("NotAHeader", "0 von 6", "hello world"),
        files("WidthOne", "Gittergröße 1 x 2", "SN4DB 1 2 1 0 0 0.0"),
        files("HeightOne", "Gittergröße 2 x 1", "SN4DB 2 1 1 0 0 0.0"),
        files("WidthNegative", "Gittergröße -2 x 2", "SN4DB -2 2 1 0 0 0.0"),
        files("NNegative", "zusätzlicher Werte: -1", "SN4DB 2 2 1 -1 0 0.0"),
        files("Overflow32", "zu kurz", "SN4DB 65536 65536 1 0 0 0.0"),
        files("Overflow64", "zu kurz", "SN4DB 2147483647 2147483647 1 9 0 0"),
        files("HugeValueCount", "zu groß", "SN4DB 2 2 1 2147483647 0 0"),
        files("GridOneByteShort", "zu kurz", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1}),
        files("DataOneFloatShort", "Datendatei ist zu kurz", "SN4DB 2 2 1 1 0 0.0", square(1), records(5, 3)),
        files("NaNCoordinate", "NaN", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, kNaN, 0, 0, 0, 1, 0, 1, 1, 0}),
        files("InfiniteCoordinate", "NaN", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, 1, 0, 0, 0, kInf, 0, 1, 1, 0}),
        files("NaNCoordinateInLastNode", "NaN", "SN4DB 3 2 1 0 0 0.0",
            {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, 2, kNaN, 0}, records(6, 3)),
        files("InfiniteXInLastNode", "NaN", "SN4DB 3 2 1 0 0 0.0",
            {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, -kInf, 1, 0}, records(6, 3)),
        files("AllNodesAtOnePoint", "keine Ausdehnung", "SN4DB 2 2 1 0 0 0.0", std::vector<float>(12, 0.25f)),
        files("NoExtentInY", "keine Ausdehnung", "SN4DB 2 2 1 0 0 0.0", rectilinearPositions({0, 1}, {3, 3})),
        files("RegularGridBeyondCap", "zu groß (höchstens 4096 MiB)", "SN4DB 2 2 1 0 0 0.0",
            rectilinearPositions({0, 2000}, {0, 2000})),
        files("ExtentOverflowsFloat", "zu groß", "SN4DB 2 2 1 0 0 0.0", rectilinearPositions({-3e38f, 3e38f}, {0, 1})),
    };
    return shapes;
}

const std::vector<FlowShape>& oddFlowShapes()
{
    // A 6 x 5 rectilinear grid over 0..1 x 0..0.8 with the given record per node.
    auto grid65 = [](const std::string& name, const std::string& header, auto recordOf) {
        std::vector<float> data;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 6; ++i)
                for (float v : recordOf(i, j))
                    data.push_back(v);
        return files(name, "", header,
            rectilinearPositions({0, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}, {0, 0.2f, 0.4f, 0.6f, 0.8f}), data);
    };
    static const std::vector<FlowShape> shapes = [&] {
        std::vector<FlowShape> s;
        s.push_back(grid65("NaNVelocitiesAndValues", "SN4DB 6 5 1 1 0 0.0", [](int i, int j) {
            return std::vector<float> {(i + j) % 3 ? 1.0f : kNaN, 0.5f, 0.0f, (i * j) % 4 ? float(i) : kNaN};
        }));
        s.push_back(grid65("AllSpeedsZeroAndConstantValues", "SN4DB 6 5 1 2 0 0.0", [](int, int) {
            return std::vector<float> {0.0f, 0.0f, 0.0f, 3.0f, 3.0f};
        }));
        s.push_back(grid65("NoAdditionalValues", "SN4DB 6 5 1 0 0 0.0", [](int i, int j) {
            return std::vector<float> {float(j) - 2.0f, 2.0f - float(i) * 0.5f, 0.0f};
        }));
        s.push_back(files(
            "TwoByTwo", "", "SN4DB 2 2 1 1 0 0.0", square(0.5f), {1, 0.2f, 0, 1, 1, 0, 0, 2, 0, 1, 0, 3, 1, 1, 0, 4}));
        s.push_back(
            files("DecreasingX", "", "SN4DB 2 2 1 0 0 0.0", {1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0}, records(4, 3)));
        // Rows sheared far from rectilinear: each row starts 0.3 further right.
        std::vector<float> sheared, shearedData;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                sheared.insert(
                    sheared.end(), {0.3f * float(j) + 0.25f * float(i), 0.3f * float(j) + 0.05f * float(i), 0});
                shearedData.insert(shearedData.end(), {0.3f, 1.0f, 0.0f, float(i - j)});
            }
        s.push_back(files("StronglyCurvilinear", "", "SN4DB 4 4 1 1 0 0.0", sheared, shearedData));
        return s;
    }();
    return shapes;
}

} // namespace tvl::test
