// File > Import NetCDF in the main window: the file dialog, the import
// dialog, then the same load flow as File > Open.
#include "app/CMainDialog.h"

#include "CfFile.h"
#include "GuiTest.h"
#include "netcdf/NetCdfImporter.h"
#include "ui/CBackgroundPage.h"
#include "ui/CNetCdfImportDialog.h"
#include "ui/COpenGLWnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

#include <netcdf.h>

using namespace tvl;
using namespace tvl::test;

namespace {

const QString kNetCdfFilter = QStringLiteral("NetCDF Files (*.nc *.nc4 *.cdf *.netcdf);;All Files (*.*)");

// A rotating current over 3 x 2 degrees, stronger at the second time, with a
// temperature; stored north to south.
QString writeCurrent(const QTemporaryDir& dir, const QString& name, bool matchingComponents = true)
{
    CfFile file;
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
    file.dimension("time", 2).dimension("lat", 21).dimension("lon", 31);
    file.variable("lat", NC_DOUBLE, {"lat"}, lat).variable("lon", NC_DOUBLE, {"lon"}, lon);
    file.variable("uo", NC_FLOAT, {"time", "lat", "lon"}, u);
    if (matchingComponents)
        file.variable("vo", NC_FLOAT, {"time", "lat", "lon"}, v);
    else
        file.variable("vo", NC_FLOAT, {"lat", "lon"}, std::vector<double>(v.begin(), v.begin() + 21 * 31));
    file.variable("thetao", NC_FLOAT, {"time", "lat", "lon"}, t);
    const QString path = dir.filePath(name);
    file.writeOrThrow(path.toStdString(), CfFile::Format::Netcdf4);
    return path;
}

} // namespace

class CMainDialogNetCdfTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void importFollowsOpenInTheFileMenu();
    void importLoadsTheFieldChosenInTheDialog();
    void cancelOrAFailedImportKeepsTheDataSet();

private:
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<CMainDialog> window_;
    std::vector<bool> canvasesShownAtPrompt_;
};

void CMainDialogNetCdfTest::init()
{
    QVERIFY2(dir_.isValid(), "no temporary folder");
    dialogs_ = std::make_shared<FakeDialogs>();
    canvasesShownAtPrompt_.clear();
    window_ = std::make_unique<CMainDialog>(dialogs_);
    dialogs_->onPrompt = [this](const FakeDialogs::Prompt&) {
        canvasesShownAtPrompt_.push_back(window_->canvas(0)->isVisible() || window_->canvas(1)->isVisible());
    };
    window_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(window_.get()), "the main window never appeared");
}

void CMainDialogNetCdfTest::cleanup()
{
    window_.reset();
    dialogs_.reset();
}

void CMainDialogNetCdfTest::importFollowsOpenInTheFileMenu()
{
    const QList<QAction*> file = window_->menuBar()->actions()[0]->menu()->actions();
    QVERIFY2(file.size() >= 2 && file[1]->text() == QStringLiteral("Import NetCDF..."), "the item after Open");
    file[1]->trigger();
    QVERIFY2(dialogs_->prompts.size() == 1, "only the file dialog, cancelled");
    TVL_CHECK_EQ(dialogs_->prompts[0].filter, kNetCdfFilter, "the NetCDF filter");
    TVL_CHECK(!canvasesShownAtPrompt_[0], "the canvases are hidden during the file dialog");
    TVL_CHECK(window_->canvas(0)->isVisible(), "and shown again");
}

void CMainDialogNetCdfTest::importLoadsTheFieldChosenInTheDialog()
{
    const QString path = writeCurrent(dir_, QStringLiteral("current.nc"));
    dialogs_->openAnswers = {path};
    QString found;
    dialogs_->onExec = [&](QDialog& dialog) {
        auto* import = dynamic_cast<CNetCdfImportDialog*>(&dialog);
        if (!import)
            return int(QDialog::Rejected);
        found = import->uList()->currentData().toString() + QStringLiteral("/")
            + import->vList()->currentData().toString();
        import->indexBox(QStringLiteral("time"))->setValue(1);
        import->valueList()->item(0)->setCheckState(Qt::Checked);
        return int(QDialog::Accepted);
    };
    window_->OnFileImportNetCdf();
    TVL_CHECK_EQ(found, QStringLiteral("uo/vo"), "the dialog offers the velocity it found");
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 0, "the import succeeds");
    TVL_CHECK(!canvasesShownAtPrompt_[0] && !canvasesShownAtPrompt_[1], "canvases hidden during both dialogs");
    TVL_CHECK(window_->windowTitle().endsWith(CMainDialog::kLoadedSuffix), "the caption says data is loaded");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 1, "the temperature is additional value 0");

    // The same import without the window: time index 1 doubles the speed.
    FlowData expected;
    NetCdfImporter importer;
    NetCdfImportOptions options;
    options.values = {"thetao"};
    options.indices = {{"time", 1}};
    QVERIFY2(importer.importFile(path.toStdString(), options, expected), "the direct import");
    TVL_CHECK_EQ(window_->flowData().getMaxSpeed(), expected.getMaxSpeed(), "the window read time index 1");
    TVL_CHECK_EQ(window_->flowData().getWidth(), expected.getWidth(), "at the automatic scale");
    window_->backgroundBox()->setChecked(true);
    window_->OnBnClickedDraw();
    TVL_CHECK(window_->currentCanvas()->hasPicture(), "the imported field draws");
}

void CMainDialogNetCdfTest::cancelOrAFailedImportKeepsTheDataSet()
{
    const FlowFilePair pair = writeFlowPair(dir_, QStringLiteral("pair"), 2);
    QVERIFY2(window_->openFiles(pair.grid, pair.data), "a data set to keep");
    const auto view = window_->view();
    const float maxSpeed = window_->flowData().getMaxSpeed();

    dialogs_->openAnswers = {writeCurrent(dir_, QStringLiteral("current.nc"))};
    dialogs_->onExec = [](QDialog&) { return int(QDialog::Rejected); };
    window_->OnFileImportNetCdf();
    TVL_CHECK_EQ(dialogs_->count(QStringLiteral("message")), 0, "Cancel in the import dialog says nothing");

    const QString notNetCdf = dir_.filePath(QStringLiteral("plain.nc"));
    QFile text(notNetCdf);
    QVERIFY2(text.open(QIODevice::WriteOnly) && text.write("plain text") > 0, "cannot write the text file");
    text.close();
    const struct {
        QString path;
        const char* tag;
    } rows[] = {{notNetCdf, "[Tavrel|NetCdfImporter|scanFile]: "},
        {writeCurrent(dir_, QStringLiteral("mismatched.nc"), false), "[Tavrel|NetCdfImporter|importFile]: "}};
    dialogs_->onExec = [](QDialog&) { return int(QDialog::Accepted); };
    for (const auto& row : rows) {
        dialogs_->openAnswers = {row.path};
        window_->OnFileImportNetCdf();
        const FakeDialogs::Prompt& error = dialogs_->prompts.back();
        TVL_CHECK_EQ(error.caption, QStringLiteral("Information"), "the load error box");
        TVL_CHECK_EQ(error.text, QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten."), "its text");
        TVL_CHECK(error.detail.startsWith(QString::fromLatin1(row.tag)), "the logged cause: " + error.detail);
        TVL_CHECK(!canvasesShownAtPrompt_.back(), "the canvases are hidden during the error box");
    }
    TVL_CHECK(window_->view() == view, "the view stays");
    TVL_CHECK_EQ(window_->flowData().getMaxSpeed(), maxSpeed, "the data set stays");
    TVL_CHECK_EQ(window_->backgroundPage()->dataList()->count(), 2, "the lists stay");
}

TVL_GUI_TEST_MAIN(CMainDialogNetCdfTest)
#include "CMainDialogNetCdfTest.moc"
