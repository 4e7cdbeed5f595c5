// File > Import NetCDF in the main window: the file dialog, the import
// dialog, then the same load flow as File > Open.
#include "app/CMainDialog.h"

#include "CfFile.h"
#include "MainWindowTest.h"
#include "netcdf/NetCdfImporter.h"
#include "ui/CBackgroundPage.h"
#include "ui/CNetCdfImportDialog.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

using namespace tvl;
using namespace tvl::test;

class CMainDialogNetCdfTest : public MainWindowTest {
    Q_OBJECT

private slots:
    void importLoadsTheFieldChosenInTheDialog();
};

void CMainDialogNetCdfTest::importLoadsTheFieldChosenInTheDialog()
{
    // A current over 3 x 2 degrees, twice as strong at the second time, with a temperature.
    const QString path = w_->dir.filePath(QStringLiteral("current.nc"));
    CfFile::rotatingCurrent(31, 21, "uo", "vo", "thetao").write(path.toStdString(), CfFile::Format::Netcdf4);
    w_->dialogs->openAnswers = {path};
    QString found;
    w_->dialogs->onExec = [&](QDialog& dialog) {
        auto* import = dynamic_cast<CNetCdfImportDialog*>(&dialog);
        found = import->uList()->currentData().toString() + "/" + import->vList()->currentData().toString();
        import->indexBox(QStringLiteral("time"))->setValue(1);
        import->valueList()->item(0)->setCheckState(Qt::Checked);
        return int(QDialog::Accepted);
    };
    window_->menuBar()->actions()[0]->menu()->actions()[1]->trigger();
    TVL_CHECK_EQ(w_->dialogs->prompts[0].filter,
        QStringLiteral("NetCDF Files (*.nc *.nc4 *.cdf *.netcdf);;All Files (*.*)"), "the NetCDF filter");
    TVL_CHECK_EQ(found, QStringLiteral("uo/vo"), "the dialog offers the velocity it found");
    // The same import without the window: time index 1 doubles the speed.
    FlowData expected;
    NetCdfImportOptions options;
    options.values = {"thetao"};
    options.indices = {{"time", 1}};
    QVERIFY2(NetCdfImporter().importFile(path.toStdString(), options, expected), "the direct import");
    TVL_CHECK(w_->dialogs->count(QStringLiteral("message")) == 0 && w_->hiddenForPrompts()
            && window_->windowTitle().endsWith(CMainDialog::kLoadedSuffix)
            && window_->backgroundPage()->dataList()->count() == 1
            && window_->flowData().getMaxSpeed() == expected.getMaxSpeed()
            && window_->flowData().getWidth() == expected.getWidth() && w_->draw(false, false, true),
        "the import loads time index 1 at the automatic scale, the temperature as value 0, and draws");

    // A failed import takes the load's error path, which the pair's tests follow through.
    const auto view = window_->view();
    w_->dialogs->openAnswers = {path};
    w_->dialogs->onExec = [](QDialog&) { return int(QDialog::Rejected); };
    window_->OnFileImportNetCdf();
    TVL_CHECK(w_->dialogs->count(QStringLiteral("message")) == 0 && window_->view() == view && w_->hiddenForPrompts(),
        "Cancel in the import dialog says nothing and keeps the data set");
}

TVL_GUI_TEST_MAIN(CMainDialogNetCdfTest)
#include "CMainDialogNetCdfTest.moc"
