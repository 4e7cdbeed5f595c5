#pragma once

#include "flow/FlowData.h"
#include "ui/MessageLog.h"
#include "view/LayerSettings.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tvl {

class CArrowPlotPage;
class CBackgroundPage;
class CLayerTabCtrl;
class COpenGLWnd;
class CStreamlinePage;
class CTransferDisplay;
class DialogProvider;
class FlowView;
class LabelStatusSink;

// The main window: owns the flow data set, the view of the loaded data set,
// the two canvases, the layer settings pages with their tab control and the
// transfer function strip, and turns the user's commands into calls on them.
//
// Every modal prompt is shown with both canvases hidden, which are shown again
// afterwards and repeat their last picture; the about box is the exception.
// Escape, Enter and closing the window end the dialog at once.
class CMainDialog : public QDialog {
    Q_OBJECT

public:
    static const QString kCaption;
    static const QString kLoadedSuffix;

    // dialogs: where the prompts go; the platform's own dialogs when null.
    explicit CMainDialog(std::shared_ptr<DialogProvider> dialogs = nullptr, QWidget* parent = nullptr);
    ~CMainDialog() override;

    // File, "&Open...": asks for a grid file and a data file and loads them.
    void OnFileOpen();
    // File, "Import NetCDF...": asks for a NetCDF file, shows what it offers
    // in the import dialog and loads the field chosen there, as Open does.
    void OnFileImportNetCdf();
    // File, "Save Image...": writes the part of the current canvas's picture
    // that shows the data set (its viewport) as a PNG file; a failed write
    // leaves no file behind and names the system's cause.
    void OnFileSaveImage();
    // File, "&Quit": ends the dialog after a Yes.
    void OnFileQuit();
    // Draws the ticked layers into the current canvas.
    void OnBnClickedDraw();
    void OnBnClickedCanvas1();
    void OnBnClickedCanvas2();
    // Help, "&Info über Tavrel...".
    void OnAbout();
    // Extras, "Richtungspfeile auf Stromlinien" or "Stromlinien einfärben"
    // toggled: the current canvas takes the streamline style and shows it at
    // once.
    void OnExtrasStreamlineStyle();

    // Loads a data set as Open does once both files are chosen, with the same
    // messages and hidden canvases; true on success.
    bool openFiles(const QString& gridPath, const QString& dataPath);
    // The same for a node grid built in memory (the demo data set).
    bool openNodeGrid(NodeGrid nodes);

    COpenGLWnd* canvas(int index) const { return canvases_[static_cast<std::size_t>(index)]; }
    COpenGLWnd* currentCanvas() const { return current_; }
    const std::shared_ptr<FlowView>& view() const { return view_; }
    const FlowData& flowData() const { return flow_; }
    CArrowPlotPage* arrowPage() const { return arrowPage_.get(); }
    CStreamlinePage* streamlinePage() const { return streamlinePage_.get(); }
    CBackgroundPage* backgroundPage() const { return backgroundPage_.get(); }
    CLayerTabCtrl* tabCtrl() const { return tab_; }
    CTransferDisplay* transferDisplay() const { return transfer_; }
    QCheckBox* arrowBox() const { return arrowBox_; }
    QCheckBox* streamlineBox() const { return streamlineBox_; }
    QCheckBox* backgroundBox() const { return backgroundBox_; }
    QRadioButton* canvas1Button() const { return canvas1Button_; }
    QRadioButton* canvas2Button() const { return canvas2Button_; }
    QPushButton* drawButton() const { return drawButton_; }
    QLabel* progressLabel() const { return progressLabel_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // The "Extras" check items of the streamline options.
    QAction* normalizedStepAction() const { return normalizedStepAction_; }
    QAction* noSelfOverlapAction() const { return noSelfOverlapAction_; }
    // The transfer strip's tool tip at a strip column: the current background
    // quantity's value there; empty before a load.
    QString legendToolTip(int column) const;
    QAction* lineMarksAction() const { return lineMarksAction_; }
    QAction* lineColourAction() const { return lineColourAction_; }
    // The streamline style the "Extras" menu's check items ask for.
    StreamlineStyle streamlineStyle() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createMenu();
    // The "Extras" menu: options beyond the start state, each a check item,
    // all off at start.
    void createExtrasMenu();
    void addStreamlineOptionItems(QMenu* extras);
    // Hands the streamline options to both canvases; the next Draw or click
    // uses them.
    void handStreamlineOptions();
    void addStreamlineStyleItems(QMenu* extras);
    // Save Image as an SVG file: the current canvas's picture described anew.
    void saveSvgPicture(const QString& path);
    void hideCanvases();
    void showCanvases();
    // Runs one load; on success the window takes the new data set and shows
    // the load's notice, if any, in a "Hinweis" box; on failure it shows the
    // error box and keeps everything as it was.
    bool runLoad(const std::function<bool()>& load);
    // The error box of a failed load, with the logged cause as its detail.
    void showLoadError();
    void adoptLoadedData();
    void chooseCanvas(int index);

    std::shared_ptr<DialogProvider> dialogs_;
    // Declared before everything that reads it, so it goes last.
    FlowData flow_;
    MessageLog log_;
    std::unique_ptr<LabelStatusSink> status_;
    std::array<COpenGLWnd*, 2> canvases_ {};
    COpenGLWnd* current_ = nullptr;
    std::unique_ptr<CArrowPlotPage> arrowPage_;
    std::unique_ptr<CStreamlinePage> streamlinePage_;
    std::unique_ptr<CBackgroundPage> backgroundPage_;
    std::shared_ptr<FlowView> view_;
    CLayerTabCtrl* tab_ = nullptr;
    CTransferDisplay* transfer_ = nullptr;
    QCheckBox* arrowBox_ = nullptr;
    QCheckBox* streamlineBox_ = nullptr;
    QCheckBox* backgroundBox_ = nullptr;
    QRadioButton* canvas1Button_ = nullptr;
    QRadioButton* canvas2Button_ = nullptr;
    QPushButton* drawButton_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QAction* normalizedStepAction_ = nullptr;
    QAction* noSelfOverlapAction_ = nullptr;
    QAction* lineMarksAction_ = nullptr;
    QAction* lineColourAction_ = nullptr;
    QWidget* client_ = nullptr;
};

} // namespace tvl
