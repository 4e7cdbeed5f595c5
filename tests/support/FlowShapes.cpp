#include "FlowShapes.h"

#include "FlowFiles.h"

#include <cmath>
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

FlowShape files(
    std::string name, std::string header, std::vector<float> positions, std::vector<float> data, std::string cause = {})
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
        {"EmptyGridFile", "kürzer als ihr Dateikopf",
            [](const std::string& grid, const std::string& data) {
                writeBytes(grid, "");
                writeDataFile(data, records(4, 3));
            }},
        {"ShortHeader", "kürzer als ihr Dateikopf",
            [](const std::string& grid, const std::string& data) {
                writeBytes(grid, "SN4DB 2 2 1 0");
                writeDataFile(data, records(4, 3));
            }},
        files("FiveFields", "SN4DB 2 2 1 0 0", square(1), records(4, 3), "5 von 6"),
        files("NotAHeader", "hello world", square(1), records(4, 3), "0 von 6"),
        files("WidthZero", "SN4DB 0 2 1 0 0 0.0", square(1), records(4, 3), "Gittergröße 0 x 2"),
        files("WidthOne", "SN4DB 1 2 1 0 0 0.0", square(1), records(4, 3), "Gittergröße 1 x 2"),
        files("HeightOne", "SN4DB 2 1 1 0 0 0.0", square(1), records(4, 3), "Gittergröße 2 x 1"),
        files("WidthNegative", "SN4DB -2 2 1 0 0 0.0", square(1), records(4, 3), "Gittergröße -2 x 2"),
        files("HeightNegative", "SN4DB 2 -1 1 0 0 0.0", square(1), records(4, 3), "Gittergröße 2 x -1"),
        files("NNegative", "SN4DB 2 2 1 -1 0 0.0", square(1), records(4, 3), "zusätzlicher Werte: -1"),
        files("Overflow32", "SN4DB 65536 65536 1 0 0 0.0", square(1), records(4, 3), "zu kurz"),
        files("Overflow64", "SN4DB 2147483647 2147483647 1 9 0 0", square(1), records(4, 3), "zu kurz"),
        files("HugeValueCount", "SN4DB 2 2 1 2147483647 0 0", square(1), records(4, 3), "zu groß"),
        files("GridOneByteShort", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1}, records(4, 3), "zu kurz"),
        files("DataOneFloatShort", "SN4DB 2 2 1 1 0 0.0", square(1), std::vector<float>(15, 0.5f),
            "Datendatei ist zu kurz"),
        files("DataOfAnotherDataSet", "SN4DB 2 2 1 3 0 0.0", square(1), records(4, 3), "Datendatei ist zu kurz"),
        files("NaNCoordinate", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, kNaN, 0, 0, 0, 1, 0, 1, 1, 0}, records(4, 3), "NaN"),
        files(
            "InfiniteCoordinate", "SN4DB 2 2 1 0 0 0.0", {0, 0, 0, 1, 0, 0, 0, kInf, 0, 1, 1, 0}, records(4, 3), "NaN"),
        files("NaNCoordinateInLastNode", "SN4DB 3 2 1 0 0 0.0",
            {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0, 1, 1, 0, 2, kNaN, 0}, records(6, 3), "NaN"),
        files("AllNodesAtOnePoint", "SN4DB 2 2 1 0 0 0.0", std::vector<float>(12, 0.25f), records(4, 3),
            "keine Ausdehnung"),
        files("NoExtentInY", "SN4DB 2 2 1 0 0 0.0", rectilinearPositions({0, 1}, {3, 3}), records(4, 3),
            "keine Ausdehnung"),
        files("RegularGridBeyondCap", "SN4DB 2 2 1 0 0 0.0", rectilinearPositions({0, 2000}, {0, 2000}), records(4, 3),
            "zu groß"),
        files("ExtentOverflowsFloat", "SN4DB 2 2 1 0 0 0.0", rectilinearPositions({-3e38f, 3e38f}, {0, 1}),
            records(4, 3), "zu groß"),
    };
    return shapes;
}

const std::vector<FlowShape>& oddFlowShapes()
{
    // A 6 x 5 rectilinear grid over 0..1 x 0..0.8 with the given record per node.
    auto grid65 = [](const std::string& header, auto recordOf) {
        std::vector<float> data;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 6; ++i)
                for (float v : recordOf(i, j))
                    data.push_back(v);
        return files(
            "", header, rectilinearPositions({0, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f}, {0, 0.2f, 0.4f, 0.6f, 0.8f}), data);
    };
    static const std::vector<FlowShape> shapes = [&] {
        std::vector<FlowShape> s;
        FlowShape nan = grid65("SN4DB 6 5 1 1 0 0.0", [](int i, int j) {
            return std::vector<float> {(i + j) % 3 ? 1.0f : kNaN, 0.5f, 0.0f, (i * j) % 4 ? float(i) : kNaN};
        });
        nan.name = "NaNVelocitiesAndValues";
        s.push_back(nan);
        FlowShape still = grid65("SN4DB 6 5 1 2 0 0.0", [](int, int) {
            return std::vector<float> {0.0f, 0.0f, 0.0f, 3.0f, 3.0f};
        });
        still.name = "AllSpeedsZeroAndConstantValues";
        s.push_back(still);
        FlowShape noValues = grid65("SN4DB 6 5 1 0 0 0.0", [](int i, int j) {
            return std::vector<float> {float(j) - 2.0f, 2.0f - float(i) * 0.5f, 0.0f};
        });
        noValues.name = "NoAdditionalValues";
        s.push_back(noValues);
        s.push_back(files(
            "TwoByTwo", "SN4DB 2 2 1 1 0 0.0", square(0.5f), {1, 0.2f, 0, 1, 1, 0, 0, 2, 0, 1, 0, 3, 1, 1, 0, 4}));
        s.push_back(files("DecreasingX", "SN4DB 2 2 1 0 0 0.0", {1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0},
            {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
        // Rows sheared far from rectilinear: each row starts 0.3 further right.
        std::vector<float> sheared, shearedData;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                sheared.insert(
                    sheared.end(), {0.3f * float(j) + 0.25f * float(i), 0.3f * float(j) + 0.05f * float(i), 0});
                shearedData.insert(shearedData.end(), {0.3f, 1.0f, 0.0f, float(i - j)});
            }
        s.push_back(files("StronglyCurvilinear", "SN4DB 4 4 1 1 0 0.0", sheared, shearedData));
        return s;
    }();
    return shapes;
}

} // namespace tvl::test
