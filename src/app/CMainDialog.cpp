#include "app/CMainDialog.h"

#include "app/AppIcon.h"
#include "app/CAboutDialog.h"
#include "netcdf/NetCdfImporter.h"
#include "render/SvgPicture.h"
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
#include "view/LegendValue.h"
#include "view/PictureScene.h"

#include <QAction>
#include <QBuffer>
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
#include <QSaveFile>
#include <QVBoxLayout>

#include <utility>

namespace tvl {

const QString CMainDialog::kCaption = QStringLiteral("TVL - Tavrel - The Flow Visualisation Software");
const QString CMainDialog::kLoadedSuffix = QStringLiteral(" - Data loaded");

namespace {

const QString kGridFilter = QStringLiteral("Flow Grid Files (*.gri);;All Files (*.*)");
const QString kDataFilter = QStringLiteral("Flow Data Files (*.dat);;All Files (*.*)");
const QString kImageFilter = QStringLiteral("PNG Image Files (*.png);;SVG Image Files (*.svg);;All Files (*.*)");
const QString kNetCdfFilter = QStringLiteral("NetCDF Files (*.nc *.nc4 *.cdf *.netcdf);;All Files (*.*)");

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Writes the picture as PNG under a temporary name in the target's folder and
// renames it into place only when complete, so a full disk leaves neither a
// broken picture nor a stray file, and an existing file stays as it was.
// False with the system's error text in cause. The PNG is encoded in memory
// first: the encoder then never meets a failing disk, whose error it would
// report only as "Unknown error" (and on whose error path it leaks).
bool writePicture(const QImage& picture, const QString& path, QString& cause)
{
    QByteArray png;
    QBuffer buffer(&png);
    QImageWriter writer(&buffer, "png");
    if (!buffer.open(QIODevice::WriteOnly) || !writer.write(picture)) {
        cause = writer.errorString();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        cause = file.errorString();
        return false;
    }
    // A write that stops short (the disk filled up on the way) has no error
    // of its own: writing on is what meets the system's error. A full disk
    // may also show only when the last buffered bytes are flushed.
    qint64 done = 0;
    while (done < png.size()) {
        const qint64 written = file.write(png.constData() + done, png.size() - done);
        if (written <= 0)
            break;
        done += written;
    }
    if (done == png.size() && file.flush() && file.commit())
        return true;
    cause = file.errorString();
    file.cancelWriting();
    return false;
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
    createExtrasMenu();
    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&Info über Tavrel..."), QKeySequence(), this, &CMainDialog::OnAbout);
}

void CMainDialog::createExtrasMenu()
{
    QMenu* extras = menuBar_->addMenu(QStringLiteral("Extras"));
    addStreamlineOptionItems(extras);
    extras->addSeparator();
    addStreamlineStyleItems(extras);
}

void CMainDialog::addStreamlineOptionItems(QMenu* extras)
{
    normalizedStepAction_ = extras->addAction(QStringLiteral("Schrittweite normieren"));
    noSelfOverlapAction_ = extras->addAction(QStringLiteral("Linien nicht selbst überdecken"));
    for (QAction* option : {normalizedStepAction_, noSelfOverlapAction_}) {
        option->setCheckable(true);
        connect(option, &QAction::toggled, this, &CMainDialog::handStreamlineOptions);
    }
}

void CMainDialog::handStreamlineOptions()
{
    const StreamlineOptions options {normalizedStepAction_->isChecked(), noSelfOverlapAction_->isChecked()};
    for (COpenGLWnd* canvas : canvases_)
        if (canvas)
            canvas->setStreamlineOptions(options);
}

void CMainDialog::addStreamlineStyleItems(QMenu* extras)
{
    lineMarksAction_ = extras->addAction(QStringLiteral("Richtungspfeile auf Stromlinien"));
    lineColourAction_ = extras->addAction(QStringLiteral("Stromlinien einfärben"));
    for (QAction* item : {lineMarksAction_, lineColourAction_}) {
        item->setCheckable(true);
        connect(item, &QAction::toggled, this, &CMainDialog::OnExtrasStreamlineStyle);
    }
}

StreamlineStyle CMainDialog::streamlineStyle() const
{
    StreamlineStyle style;
    style.markSpacing = lineMarksAction_->isChecked() ? StreamlineStyle::kDefaultMarkSpacing : 0;
    style.coloured = lineColourAction_->isChecked();
    return style;
}

void CMainDialog::OnExtrasStreamlineStyle()
{
    current_->restyleStreamlines(streamlineStyle());
}

QString CMainDialog::legendToolTip(int column) const
{
    const int entries = transfer_->colorTable()->entryCount();
    const BackgroundQuantity quantity = backgroundPage_->coderQuantity();
    const int k = backgroundPage_->coderValueIndex();
    float value = 0.0f;
    // Column i shows the entry a coder picks for t from i / entries on.
    if (entries <= 0 || column < 0 || column >= entries
        || !legendValueAt(flow_, quantity, k, static_cast<float>(column) / static_cast<float>(entries), value))
        return {};
    return QString::fromStdString(legendName(quantity, k) + ": " + legendText(quantity, value));
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
    transfer_->setLegend([this](int column) { return legendToolTip(column); });

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
    if (!flow_.loadNotice().empty())
        dialogs_->message(this, DialogProvider::Icon::Information, QStringLiteral("Hinweis"),
            QString::fromStdString(flow_.loadNotice()));
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
    const QImage picture = current_->viewportPicture();
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
        if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
            saveSvgPicture(path);
        } else {
            QString cause;
            if (!writePicture(picture, path, cause))
                dialogs_->message(this, DialogProvider::Icon::Critical, QStringLiteral("Information"),
                    QStringLiteral("Das Bild konnte nicht gespeichert werden."), path + QStringLiteral(": ") + cause);
        }
    }
    showCanvases();
}

void CMainDialog::saveSvgPicture(const QString& path)
{
    PictureScene scene;
    std::string error = "the picture was drawn from a data set that is no longer loaded";
    if (current_->describePicture(scene) && writeSvgPicture(localPath(path), scene, error))
        return;
    dialogs_->message(this, DialogProvider::Icon::Critical, QStringLiteral("Information"),
        QStringLiteral("Das Bild konnte nicht gespeichert werden."),
        path + QStringLiteral(": ") + QString::fromStdString(error));
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
    const Layers layers {backgroundBox_->isChecked(), streamlineBox_->isChecked(), arrowBox_->isChecked()};
    if (!layers.any()) {
        hideCanvases();
        dialogs_->message(this, DialogProvider::Icon::None, QStringLiteral("Hinweis"),
            QStringLiteral("Bitte wählen Sie mindestens ein Layer zum zeichnen aus."));
        showCanvases();
        return;
    }
    if (!view_)
        return;
    current_->drawLayers(view_, layers);
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
        static_cast<float>(settings.dsep), static_cast<float>(settings.dtest), settings.scheme);
    current_->setEvenPlacement(settings.placement == Placement::EvenDistances);
    current_->setStreamlineStyle(streamlineStyle());
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
