// File > Import NetCDF in the main window: the file dialog, the import
// dialog, then the same load flow as File > Open.
#include "app/CMainDialog.h"

#include "CfFile.h"
#include "MainWindow.h"
#include "netcdf/NetCdfImporter.h"
#include "ui/CBackgroundPage.h"
#include "ui/CNetCdfImportDialog.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

#include <netcdf.h>

using namespace tvl;
using namespace tvl::test;

namespace {

// A rotating current over 3 x 2 degrees, twice as strong at the second time,
// with a temperature; stored north to south.
QString writeCurrent(const QTemporaryDir& dir, const QString& name)
{
    std::vector<double> lon, lat, u, v, t;
    for (int i = 0; i < 31; ++i)
        lon.push_back(0.1 * i);
    for (int j = 0; j < 21; ++j)
        lat.push_back(2.0 - 0.1 * j);
    for (int time = 0; time < 2; ++time)
        for (double y : lat)
            for (double x : lon) {
                u.push_back(-(y - 1.0) * (time + 1));
                v.push_back((x - 1.5) * (time + 1));
                t.push_back(280 + x);
            }
    const std::vector<std::string> field {"time", "lat", "lon"};
    CfFile file;
    file.dimension("time", 2).dimension("lat", 21).dimension("lon", 31);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).variable("lon", NC_DOUBLE, {"lon"}, lon);
    file.variable("uo", NC_FLOAT, field, u).variable("thetao", NC_FLOAT, field, t).variable("vo", NC_FLOAT, field, v);
    file.write(dir.filePath(name).toStdString(), CfFile::Format::Netcdf4);
    return dir.filePath(name);
}

} // namespace

class CMainDialogNetCdfTest : public QObject {
    Q_OBJECT

private slots:
    void importLoadsTheFieldChosenInTheDialog();
};

void CMainDialogNetCdfTest::importLoadsTheFieldChosenInTheDialog()
{
    MainWindow w;
    QVERIFY2(w.exposed(), "the main window never appeared");
    const QString path = writeCurrent(w.dir, QStringLiteral("current.nc"));
    w.dialogs->openAnswers = {path};
    QString found;
    w.dialogs->onExec = [&](QDialog& dialog) {
        auto* import = dynamic_cast<CNetCdfImportDialog*>(&dialog);
        found = import->uList()->currentData().toString() + "/" + import->vList()->currentData().toString();
        import->indexBox(QStringLiteral("time"))->setValue(1);
        import->valueList()->item(0)->setCheckState(Qt::Checked);
        return int(QDialog::Accepted);
    };
    w.window->menuBar()->actions()[0]->menu()->actions()[1]->trigger();
    TVL_CHECK_EQ(w.dialogs->prompts[0].filter,
        QStringLiteral("NetCDF Files (*.nc *.nc4 *.cdf *.netcdf);;All Files (*.*)"), "the NetCDF filter");
    TVL_CHECK_EQ(found, QStringLiteral("uo/vo"), "the dialog offers the velocity it found");
    // The same import without the window: time index 1 doubles the speed.
    FlowData expected;
    NetCdfImportOptions options;
    options.values = {"thetao"};
    options.indices = {{"time", 1}};
    QVERIFY2(NetCdfImporter().importFile(path.toStdString(), options, expected), "the direct import");
    TVL_CHECK(w.dialogs->count(QStringLiteral("message")) == 0 && w.hiddenForPrompts()
            && w.window->windowTitle().endsWith(CMainDialog::kLoadedSuffix)
            && w.window->backgroundPage()->dataList()->count() == 1
            && w.window->flowData().getMaxSpeed() == expected.getMaxSpeed()
            && w.window->flowData().getWidth() == expected.getWidth() && w.draw(false, false, true),
        "the import loads time index 1 at the automatic scale, the temperature as value 0, and draws");

    // A failed import takes the load's error path, which the pair's tests follow through.
    const auto view = w.window->view();
    w.dialogs->openAnswers = {path};
    w.dialogs->onExec = [](QDialog&) { return int(QDialog::Rejected); };
    w.window->OnFileImportNetCdf();
    TVL_CHECK(w.dialogs->count(QStringLiteral("message")) == 0 && w.window->view() == view && w.hiddenForPrompts(),
        "Cancel in the import dialog says nothing and keeps the data set");
}

TVL_GUI_TEST_MAIN(CMainDialogNetCdfTest)
#include "CMainDialogNetCdfTest.moc"
