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
// with a temperature; stored north to south. Without matching components vo
// has no time dimension.
QString writeCurrent(const QTemporaryDir& dir, const QString& name, bool matchingComponents = true)
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
    file.variable("uo", NC_FLOAT, field, u).variable("thetao", NC_FLOAT, field, t);
    if (matchingComponents)
        file.variable("vo", NC_FLOAT, field, v);
    else
        file.variable("vo", NC_FLOAT, {"lat", "lon"}, std::vector<double>(v.begin(), v.begin() + 21 * 31));
    file.write(dir.filePath(name).toStdString(), CfFile::Format::Netcdf4);
    return dir.filePath(name);
}

} // namespace

class CMainDialogNetCdfTest : public QObject {
    Q_OBJECT

private slots:
    void importLoadsTheFieldChosenInTheDialogOrKeepsTheDataSet();
};

void CMainDialogNetCdfTest::importLoadsTheFieldChosenInTheDialogOrKeepsTheDataSet()
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

    const auto view = w.window->view();
    QFile text(w.dir.filePath("plain.nc"));
    QVERIFY2(text.open(QIODevice::WriteOnly) && text.write("plain text") > 0, "cannot write the text file");
    text.close();
    for (const auto& [file, tag] : {std::pair {text.fileName(), "[Tavrel|NetCdfImporter|scanFile]: "},
             {writeCurrent(w.dir, QStringLiteral("mismatched.nc"), false), "[Tavrel|NetCdfImporter|importFile]: "}}) {
        w.dialogs->openAnswers = {file};
        w.window->OnFileImportNetCdf();
        TVL_CHECK(w.lastPrompt().caption == QStringLiteral("Information")
                && w.lastPrompt().text == QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten.")
                && w.lastPrompt().detail.startsWith(QString::fromLatin1(tag)),
            "the load error box with the logged cause: " + w.lastPrompt().detail);
    }
    const int messages = w.dialogs->count(QStringLiteral("message"));
    w.dialogs->openAnswers = {path};
    w.dialogs->onExec = [](QDialog&) { return int(QDialog::Rejected); };
    w.window->OnFileImportNetCdf();
    TVL_CHECK(w.dialogs->count(QStringLiteral("message")) == messages && w.window->view() == view
            && w.window->flowData().getMaxSpeed() == expected.getMaxSpeed() && w.hiddenForPrompts(),
        "Cancel says nothing; neither it nor a failure changes the data set");
}

TVL_GUI_TEST_MAIN(CMainDialogNetCdfTest)
#include "CMainDialogNetCdfTest.moc"
