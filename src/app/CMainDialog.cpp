#include "app/CMainDialog.h"

#include "app/AppIcon.h"
#include "app/CAboutDialog.h"
#include "netcdf/NetCdfImporter.h"
#include "ui/CArrowPlotPage.h"
#include "ui/CBackgroundPage.h"
#include "ui/CLayerTabCtrl.h"
#include "ui/CNetCdfImportDialog.h"
#include "ui/COpenGLWnd.h"
#include "ui/CStreamlinePage.h"
#include "ui/CTransferDisplay.h"
#include "ui/DialogProvider.h"
#include "ui/DialogUnits.h"
#include "ui/GlShareScope.h"
#include "ui/LabelStatusSink.h"
#include "ui/QtDialogProvider.h"
#include "view/FlowView.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <utility>

namespace tvl {

const QString CMainDialog::kCaption = QStringLiteral("TVL - Tavrel - The Flow Visualisation Software");
const QString CMainDialog::kLoadedSuffix = QStringLiteral(" - Data loaded");

namespace {

const QString kGridFilter = QStringLiteral("Flow Grid Files (*.gri);;All Files (*.*)");
const QString kDataFilter = QStringLiteral("Flow Data Files (*.dat);;All Files (*.*)");
const QString kImageFilter = QStringLiteral("PNG Image Files (*.png);;All Files (*.*)");
const QString kNetCdfFilter = QStringLiteral("NetCDF Files (*.nc *.nc4 *.cdf *.netcdf);;All Files (*.*)");

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

template <class Slot>
void addCommand(QMenu* menu, const QString& text, const QKeySequence& shortcut, CMainDialog* receiver, Slot slot)
{
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, receiver, slot);
}

} // namespace

CMainDialog::CMainDialog(std::shared_ptr<DialogProvider> dialogs, QWidget* parent)
    : QDialog(parent)
    , dialogs_(dialogs ? std::move(dialogs) : std::make_shared<QtDialogProvider>())
{
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    setWindowIcon(makeAppIcon());
    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPointSize);
    setFont(dialogFont);

    createMenu();
    createControls();
}

CMainDialog::~CMainDialog()
{
    // The canvases are child widgets and outlive the members; they let go of
    // the view and the coder here, while the data set both read still exists.
    for (COpenGLWnd* canvas : canvases_)
        canvas->releaseReferences();
    view_.reset();
    flow_.setStatusControl(nullptr);
    flow_.setLogSink(nullptr);
}

void CMainDialog::createMenu()
{
    menuBar_ = new QMenuBar(this);
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this, &CMainDialog::OnFileOpen);
    addCommand(file, QStringLiteral("Import NetCDF..."), QKeySequence(Qt::CTRL | Qt::Key_I), this,
        &CMainDialog::OnFileImportNetCdf);
    addCommand(
        file, QStringLiteral("Save Image..."), QKeySequence(Qt::CTRL | Qt::Key_S), this, &CMainDialog::OnFileSaveImage);
    file->addSeparator();
    addCommand(file, QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &CMainDialog::OnFileQuit);
    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&Info über Tavrel..."), QKeySequence(), this, &CMainDialog::OnAbout);
}

void CMainDialog::createControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    client_ = new QWidget(this);
    client_->setFixedSize(dialogRect(0, 0, 649, 382).size());
    layout->addWidget(client_);

    transfer_ = new CTransferDisplay(dialogRect(7, 357, 495, 18).size(), client_);
    transfer_->move(dialogRect(7, 357, 495, 18).topLeft());

    auto* canvasGroup = new QGroupBox(QStringLiteral("Canvas"), client_);
    canvasGroup->setGeometry(dialogRect(508, 7, 134, 24));
    canvas1Button_ = new QRadioButton(QStringLiteral("Canvas 1"), client_);
    canvas1Button_->setGeometry(dialogRect(513, 17, 56, 9));
    canvas2Button_ = new QRadioButton(QStringLiteral("Canvas 2"), client_);
    canvas2Button_->setGeometry(dialogRect(573, 17, 56, 10));

    auto* layerGroup = new QGroupBox(QStringLiteral("Layers"), client_);
    layerGroup->setGeometry(dialogRect(508, 33, 134, 45));
    arrowBox_ = new QCheckBox(QStringLiteral("Arrow Plot"), client_);
    arrowBox_->setGeometry(dialogRect(516, 42, 57, 8));
    streamlineBox_ = new QCheckBox(QStringLiteral("Streamlines"), client_);
    streamlineBox_->setGeometry(dialogRect(516, 54, 57, 8));
    backgroundBox_ = new QCheckBox(QStringLiteral("Background"), client_);
    backgroundBox_->setGeometry(dialogRect(516, 66, 57, 8));

    drawButton_ = new QPushButton(QStringLiteral("Draw"), client_);
    drawButton_->setGeometry(dialogRect(510, 84, 132, 12));

    tab_ = new CLayerTabCtrl(client_);
    tab_->setGeometry(dialogRect(510, 102, 132, 249));

    progressLabel_ = new QLabel(QStringLiteral("Progress"), client_);
    progressLabel_->setGeometry(dialogRect(513, 354, 129, 9));
    progressBar_ = new QProgressBar(client_);
    progressBar_->setGeometry(dialogRect(510, 363, 132, 12));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);

    arrowPage_ = std::make_unique<CArrowPlotPage>();
    streamlinePage_ = std::make_unique<CStreamlinePage>();
    backgroundPage_ = std::make_unique<CBackgroundPage>();
    tab_->addPage(QStringLiteral("ArrowPlot"), 0, arrowPage_.get());
    tab_->addPage(QStringLiteral("Streamlines"), 1, streamlinePage_.get());
    tab_->addPage(QStringLiteral("Background"), 2, backgroundPage_.get());

    canvas1Button_->setChecked(true);

    canvases_[1] = new COpenGLWnd(client_);
    canvases_[1]->setGeometry(dialogRect(264, 6, 237, 347));
    canvases_[0] = new COpenGLWnd(client_);
    canvases_[0]->setGeometry(dialogRect(7, 7, 239, 344));
    current_ = canvases_[0];

    status_ = std::make_unique<LabelStatusSink>(progressLabel_, progressBar_);
    flow_.setStatusControl(status_.get());
    flow_.setLogSink(&log_);

    arrowPage_->setCanvas(current_);
    backgroundPage_->setCanvas(current_);
    streamlinePage_->setCanvas(current_);
    // The coders need a colour table from the start; the strip's table is
    // fixed for the life of the window.
    backgroundPage_->setColorTable(transfer_->colorTable());

    transfer_->setDialogs(
        dialogs_.get(), [this] { hideCanvases(); }, [this] { showCanvases(); });

    connect(canvas1Button_, &QRadioButton::clicked, this, &CMainDialog::OnBnClickedCanvas1);
    connect(canvas2Button_, &QRadioButton::clicked, this, &CMainDialog::OnBnClickedCanvas2);
    connect(drawButton_, &QPushButton::clicked, this, &CMainDialog::OnBnClickedDraw);
}

void CMainDialog::hideCanvases()
{
    for (COpenGLWnd* canvas : canvases_)
        canvas->hideCanvas();
}

void CMainDialog::showCanvases()
{
    canvases_[1]->showCanvas();
    canvases_[0]->showCanvas();
}

void CMainDialog::OnFileOpen()
{
    hideCanvases();
    const QString gridPath = dialogs_->getOpenFileName(this, kGridFilter);
    if (!gridPath.isEmpty()) {
        const QString dataPath = dialogs_->getOpenFileName(this, kDataFilter);
        if (!dataPath.isEmpty())
            runLoad([&] { return flow_.loadData(localPath(gridPath), localPath(dataPath)); });
    }
    showCanvases();
}

void CMainDialog::OnFileImportNetCdf()
{
    hideCanvases();
    const QString path = dialogs_->getOpenFileName(this, kNetCdfFilter);
    if (!path.isEmpty()) {
        NetCdfImporter importer;
        importer.setLogSink(&log_);
        importer.setStatusControl(status_.get());
        NetCdfScan scan;
        log_.clear();
        if (!importer.scanFile(localPath(path), scan)) {
            showLoadError();
        } else {
            CNetCdfImportDialog dialog(QFileInfo(path).fileName(), scan, this);
            if (dialogs_->exec(dialog) == QDialog::Accepted) {
                const NetCdfImportOptions options = dialog.options();
                runLoad([&] { return importer.importFile(localPath(path), options, flow_); });
            }
        }
    }
    showCanvases();
}

bool CMainDialog::openFiles(const QString& gridPath, const QString& dataPath)
{
    hideCanvases();
    const bool loaded = runLoad([&] { return flow_.loadData(localPath(gridPath), localPath(dataPath)); });
    showCanvases();
    return loaded;
}

bool CMainDialog::openNodeGrid(NodeGrid nodes)
{
    hideCanvases();
    const bool loaded = runLoad([&] { return flow_.loadNodes(std::move(nodes)); });
    showCanvases();
    return loaded;
}

bool CMainDialog::runLoad(const std::function<bool()>& load)
{
    log_.clear();
    if (!load()) {
        showLoadError();
        return false;
    }
    adoptLoadedData();
    return true;
}

void CMainDialog::showLoadError()
{
    dialogs_->message(this, DialogProvider::Icon::Critical, QStringLiteral("Information"),
        QStringLiteral("Ein Fehler ist beim Laden der Flowdaten aufgetreten."),
        QString::fromStdString(log_.lastMessage()));
}

void CMainDialog::adoptLoadedData()
{
    setWindowTitle(kCaption + kLoadedSuffix);
    const int count = flow_.getAdditionalCount();
    arrowPage_->setAdditionalEntries(count);
    backgroundPage_->setAdditionalEntries(count);

    // The data set was replaced in place, so the earlier view now describes
    // data that no longer exists: the canvases let go of it and keep showing
    // their pictures until the next Draw.
    for (COpenGLWnd* canvas : canvases_)
        canvas->forgetView();
    const bool current = current_->makeCanvasCurrent();
    view_ = makeSharedView(flow_);
    const QSize size = current_->clientSize();
    view_->setCanvasSize(size.width(), size.height());
    view_->resetRegion();
    view_->applyViewport();
    if (current)
        current_->releaseCanvas();

    backgroundPage_->setFlowData(&flow_);
    backgroundPage_->setColorTable(transfer_->colorTable());
    backgroundPage_->resetCoder();
}

void CMainDialog::OnFileSaveImage()
{
    hideCanvases();
    const QImage picture = current_->picture();
    if (picture.isNull()) {
        dialogs_->message(this, DialogProvider::Icon::None, QStringLiteral("Hinweis"),
            QStringLiteral("Im gewählten Canvas wurde noch nichts gezeichnet."));
        showCanvases();
        return;
    }
    QString path = dialogs_->getSaveFileName(this, kImageFilter);
    if (!path.isEmpty()) {
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".png");
        QImageWriter writer(path, "png");
        if (!writer.write(picture))
            dialogs_->message(this, DialogProvider::Icon::Critical, QStringLiteral("Information"),
                QStringLiteral("Das Bild konnte nicht gespeichert werden."),
                path + QStringLiteral(": ") + writer.errorString());
    }
    showCanvases();
}

void CMainDialog::OnFileQuit()
{
    hideCanvases();
    if (dialogs_->question(this, QStringLiteral("Ende?"), QStringLiteral("Wollen Sie wirklich beenden?"))) {
        accept();
        return;
    }
    showCanvases();
}

void CMainDialog::OnBnClickedDraw()
{
    const int arrows = arrowBox_->isChecked() ? 1 : 0;
    const int streamlines = streamlineBox_->isChecked() ? 1 : 0;
    const int background = backgroundBox_->isChecked() ? 1 : 0;
    if (arrows == 0 && streamlines == 0 && background == 0) {
        hideCanvases();
        dialogs_->message(this, DialogProvider::Icon::None, QStringLiteral("Hinweis"),
            QStringLiteral("Bitte wählen Sie mindestens ein Layer zum zeichnen aus."));
        showCanvases();
        return;
    }
    if (!view_)
        return;
    current_->drawLayers(view_, arrows, streamlines, background);
}

void CMainDialog::OnBnClickedCanvas1()
{
    chooseCanvas(0);
}

void CMainDialog::OnBnClickedCanvas2()
{
    chooseCanvas(1);
}

void CMainDialog::chooseCanvas(int index)
{
    current_ = canvases_[static_cast<std::size_t>(index)];
    arrowPage_->setCanvas(current_);
    backgroundPage_->setCanvas(current_);
    streamlinePage_->setCanvas(current_);
    backgroundPage_->setFlowData(&flow_);
    const StreamlineSettings settings = streamlinePage_->getStreamlineSettings();
    current_->setStreamlineSettings(
        static_cast<float>(settings.dsep), static_cast<float>(settings.dtest), settings.integrator);
    current_->setEvenPlacement(settings.evenPlacement);
    backgroundPage_->setColorTable(transfer_->colorTable());
    if (view_) {
        const bool current = current_->makeCanvasCurrent();
        const QSize size = current_->clientSize();
        view_->setCanvasSize(size.width(), size.height());
        view_->resetRegion();
        view_->applyViewport();
        if (current)
            current_->releaseCanvas();
    }
}

void CMainDialog::OnAbout()
{
    CAboutDialog about(this);
    dialogs_->exec(about);
}

void CMainDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape end the dialog at once, as its default and cancel
    // buttons would; a focused push button takes Enter itself before this.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tvl
