#include "ui/CNetCdfImportDialog.h"

#include "GuiTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

using namespace tvl;
using namespace tvl::test;

namespace {

// What a scan of an ocean model file would find: two velocity candidates,
// a temperature, and time and depth beyond the grid.
NetCdfScan oceanScan()
{
    NetCdfScan scan;
    const std::vector<std::string> grid {"time", "depth", "lat", "lon"};
    scan.variables = {{"u", grid, ""}, {"v", grid, ""}, {"sst", {"time", "lat", "lon"}, "sea_surface_temperature [K]"},
        {"east", grid, "eastward_sea_water_velocity"}, {"north", grid, "northward_sea_water_velocity"}};
    scan.velocityPairs = {{"east", "north"}, {"u", "v"}};
    scan.gridValues = {"u", "v", "sst"};
    scan.dimensions = {{"time", 24}, {"depth", 3}};
    scan.automaticScale = 0.04;
    return scan;
}

} // namespace

class CNetCdfImportDialogTest : public QObject {
    Q_OBJECT

private slots:
    void showsWhatTheScanFound();
    void choicesBecomeOptions();
    void okNeedsTwoComponentsAndAPositiveScale();
    void withoutACandidateTheFirstTwoFieldsAreOffered();
};

void CNetCdfImportDialogTest::showsWhatTheScanFound()
{
    CNetCdfImportDialog dialog(QStringLiteral("ocean.nc"), oceanScan());
    TVL_CHECK_EQ(dialog.windowTitle(), QStringLiteral("Import NetCDF"), "caption");
    TVL_CHECK_EQ(dialog.uList()->count(), 5, "every field can be a component");
    TVL_CHECK_EQ(dialog.uList()->currentData().toString(), QStringLiteral("east"), "the best candidate's x");
    TVL_CHECK_EQ(dialog.vList()->currentData().toString(), QStringLiteral("north"), "the best candidate's y");
    TVL_CHECK(dialog.uList()->itemText(2).startsWith(QStringLiteral("sst(time, lat, lon)  sea_surface_temperature")),
        "entries show dimensions and meaning: " + dialog.uList()->itemText(2));
    TVL_CHECK_EQ(dialog.valueList()->count(), 3, "the further fields on the grid");
    TVL_CHECK(dialog.indexBox(QStringLiteral("time")) && dialog.indexBox(QStringLiteral("time"))->maximum() == 23,
        "time indices 0 .. 23");
    TVL_CHECK(dialog.indexBox(QStringLiteral("depth")) && dialog.indexBox(QStringLiteral("depth"))->value() == 0,
        "every index starts at 0");
    TVL_CHECK_EQ(dialog.scaleEdit()->text(), QStringLiteral("0.04"), "the automatic scale is shown");
    const NetCdfImportOptions options = dialog.options();
    TVL_CHECK(options.u == "east" && options.v == "north", "the shown components are the options'");
    TVL_CHECK(options.values.empty() && options.indices.empty(), "no values and only index 0 by default");
    TVL_CHECK(!options.scale, "the scale as shown stays automatic");
}

void CNetCdfImportDialogTest::choicesBecomeOptions()
{
    CNetCdfImportDialog dialog(QStringLiteral("ocean.nc"), oceanScan());
    dialog.uList()->setCurrentIndex(0);
    dialog.vList()->setCurrentIndex(1);
    dialog.valueList()->item(2)->setCheckState(Qt::Checked);
    dialog.indexBox(QStringLiteral("time"))->setValue(7);
    dialog.scaleEdit()->setText(QStringLiteral("0.5"));
    const NetCdfImportOptions options = dialog.options();
    TVL_CHECK(options.u == "u" && options.v == "v", "the chosen components");
    TVL_CHECK(options.values == std::vector<std::string> {"sst"}, "the ticked value");
    TVL_CHECK((options.indices == std::vector<std::pair<std::string, long long>> {{"time", 7}}),
        "only the index that is not 0");
    TVL_CHECK(options.scale && *options.scale == 0.5, "the scale typed in");
}

void CNetCdfImportDialogTest::okNeedsTwoComponentsAndAPositiveScale()
{
    CNetCdfImportDialog dialog(QStringLiteral("ocean.nc"), oceanScan());
    TVL_CHECK(dialog.okButton()->isEnabled(), "OK with what was found");
    dialog.vList()->setCurrentIndex(dialog.uList()->currentIndex());
    TVL_CHECK(!dialog.okButton()->isEnabled(), "one field cannot be both components");
    dialog.vList()->setCurrentIndex(4);
    const struct {
        const char* text;
        bool ok;
    } rows[] = {{"-1", false}, {"0", false}, {"abc", false}, {"nan", false}, {"2e-4", true}, {"", true}};
    for (const auto& row : rows) {
        dialog.scaleEdit()->setText(QString::fromLatin1(row.text));
        TVL_CHECK_EQ(dialog.okButton()->isEnabled(), row.ok, QStringLiteral("scale \"%1\"").arg(row.text));
    }
    TVL_CHECK(!dialog.options().scale, "an empty scale is the automatic one");
}

void CNetCdfImportDialogTest::withoutACandidateTheFirstTwoFieldsAreOffered()
{
    NetCdfScan scan = oceanScan();
    scan.velocityPairs.clear();
    scan.automaticScale = 0.0;
    CNetCdfImportDialog dialog(QStringLiteral("ocean.nc"), scan);
    TVL_CHECK(dialog.uList()->currentIndex() == 0 && dialog.vList()->currentIndex() == 1, "the first two fields");
    TVL_CHECK(dialog.scaleEdit()->text().isEmpty(), "no automatic scale to show");
    TVL_CHECK(dialog.okButton()->isEnabled(), "the user may still import");
}

TVL_GUI_TEST_MAIN(CNetCdfImportDialogTest)
#include "CNetCdfImportDialogTest.moc"
