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
    void showsWhatTheScanFoundAndTheChoicesBecomeOptions();
    void okNeedsTwoComponentsAndAPositiveScale();
};

void CNetCdfImportDialogTest::showsWhatTheScanFoundAndTheChoicesBecomeOptions()
{
    CNetCdfImportDialog dialog(QStringLiteral("ocean.nc"), oceanScan());
    TVL_CHECK(dialog.windowTitle() == QStringLiteral("Import NetCDF") && dialog.uList()->count() == 5
            && dialog.valueList()->count() == 3 && dialog.indexBox(QStringLiteral("time"))->maximum() == 23
            && dialog.indexBox(QStringLiteral("depth"))->value() == 0,
        "every field can be a component, the fields on the grid can be values, indices start at 0");
    TVL_CHECK(dialog.uList()->itemText(2).startsWith(QStringLiteral("sst(time, lat, lon)  sea_surface_temperature")),
        "entries show dimensions and meaning: " + dialog.uList()->itemText(2));
    TVL_CHECK_EQ(dialog.scaleEdit()->text(), QStringLiteral("0.04"), "the automatic scale is shown");
    NetCdfImportOptions options = dialog.options();
    TVL_CHECK(options.u == "east" && options.v == "north" && options.values.empty() && options.indices.empty()
            && !options.scale,
        "the best candidate, no values, index 0 everywhere and the scale as shown stays automatic");

    dialog.uList()->setCurrentIndex(0);
    dialog.vList()->setCurrentIndex(1);
    dialog.valueList()->item(2)->setCheckState(Qt::Checked);
    dialog.indexBox(QStringLiteral("time"))->setValue(7);
    dialog.scaleEdit()->setText(QStringLiteral("0.5"));
    options = dialog.options();
    TVL_CHECK(options.u == "u" && options.v == "v" && options.values == std::vector<std::string> {"sst"}
            && (options.indices == std::vector<std::pair<std::string, long long>> {{"time", 7}}) && options.scale
            && *options.scale == 0.5,
        "the chosen components, the ticked value, only the index that is not 0, the scale typed in");

    NetCdfScan none = oceanScan();
    none.velocityPairs.clear();
    none.automaticScale = 0.0;
    CNetCdfImportDialog plain(QStringLiteral("ocean.nc"), none);
    TVL_CHECK(plain.uList()->currentIndex() == 0 && plain.vList()->currentIndex() == 1
            && plain.scaleEdit()->text().isEmpty() && plain.okButton()->isEnabled(),
        "without a candidate the first two fields, no scale to show, and the user may still import");
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

TVL_GUI_TEST_MAIN(CNetCdfImportDialogTest)
#include "CNetCdfImportDialogTest.moc"
