#include "ui/CTransferDisplay.h"

#include "GuiTest.h"

#include <QAction>
#include <QMenu>

using namespace tvl;
using namespace tvl::test;

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 31;

bool isMarkerGreen(QRgb p)
{
    return isColour(p, 0, 150, 0);
}

QAction* findAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class CTransferDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void paintsTheRampAndOutlinedMarkers();
    void clickOnAnEmptyPlaceAddsAPointInTheChosenColour();
    void cancelledColourDialogAddsNothing();
    void clickOnAMarkerOnlySelectsIt();
    void dragMovesThePointAndOpensNoDialog();
    void draggingAnEndPointLeavesItInPlace();
    void contextMenuHoldsTheCommandsAndPresets();
    void deleteRemovesInteriorPointsOnly();
    void presetsReplaceThePoints();
    void changeColorRecoloursTheSelectedPoint();

private:
    void click(int x) const;
    int pointAtColumn(int column) const;

    FakeDialogs dialogs_;
    std::unique_ptr<CTransferDisplay> strip_;
    int before_ = 0;
    int after_ = 0;
};

void CTransferDisplayTest::init()
{
    dialogs_ = FakeDialogs();
    before_ = after_ = 0;
    strip_ = std::make_unique<CTransferDisplay>(QSize(kWidth, kHeight));
    strip_->setDialogs(
        &dialogs_, [this] { ++before_; }, [this] { ++after_; });
    strip_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(strip_.get()), "the strip never appeared");
}

void CTransferDisplayTest::cleanup()
{
    strip_.reset();
}

void CTransferDisplayTest::click(int x) const
{
    sendMouse(strip_.get(), QEvent::MouseButtonPress, {x, 15}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(strip_.get(), QEvent::MouseButtonRelease, {x, 15}, Qt::LeftButton, Qt::NoButton);
}

int CTransferDisplayTest::pointAtColumn(int column) const
{
    TransferFunction& model = strip_->transferFunction();
    for (int slot = 0; slot < model.pointCount(); ++slot)
        if (model.point(slot).column() == column)
            return slot;
    return TransferFunction::kNoPoint;
}

void CTransferDisplayTest::paintsTheRampAndOutlinedMarkers()
{
    const QImage image = strip_->grab().toImage();
    const auto table = strip_->colorTable();
    TVL_CHECK_EQ(table->entryCount(), kWidth, "one table entry per strip column");
    for (int x : {60, 150, 240}) {
        const Rgb entry = table->entry(x);
        for (int y : {1, kHeight / 2, kHeight - 12})
            TVL_CHECK(isColour(image.pixel(x, y), entry.r, entry.g, entry.b),
                QStringLiteral("column %1 row %2 must show table entry %1").arg(x).arg(y));
        TVL_CHECK(isColour(image.pixel(x, 0), 0, 0, 0), "the top row is not part of the ramp");
    }
    // The black end point on the black end of the ramp shows by its outline.
    TVL_CHECK(countPixels(image.copy(0, kHeight - 12, 12, 12), isMarkerGreen) > 5,
        "the end point's marker must have a green outline");

    dialogs_.colorAnswers.push_back(QColor(255, 0, 0));
    click(150);
    const QImage marked = strip_->grab().toImage();
    TVL_CHECK(isColour(marked.pixel(150, kHeight - 3), 255, 0, 0), "the marker is filled with its point's colour");
    TVL_CHECK(countPixels(marked.copy(138, kHeight - 12, 25, 12), isMarkerGreen) > 10,
        "the new marker must have a green outline");
    TVL_CHECK(isColour(marked.pixel(150, 5), 255, 0, 0), "the ramp passes through the new point's colour");
}

void CTransferDisplayTest::clickOnAnEmptyPlaceAddsAPointInTheChosenColour()
{
    dialogs_.colorAnswers.push_back(QColor(10, 200, 30));
    click(120);
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 1, "a click on an empty place opens the colour dialog");
    TVL_CHECK_EQ(dialogs_.prompts.front().text, QStringLiteral("#000000"), "the dialog starts at black");
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 3, "OK adds a point");
    const int slot = pointAtColumn(120);
    QVERIFY2(slot != TransferFunction::kNoPoint, "the point must sit at the clicked column");
    TVL_CHECK((strip_->transferFunction().point(slot).colour() == Rgb {10, 200, 30}), "the chosen colour");
    TVL_CHECK(before_ == 1 && after_ == 1, "the canvases are hidden before the dialog and shown after it");
}

void CTransferDisplayTest::cancelledColourDialogAddsNothing()
{
    click(120);
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 1, "the colour dialog was shown");
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 2, "Cancel adds nothing");
    TVL_CHECK(before_ == 1 && after_ == 1, "the canvases come back after a cancelled dialog too");
}

void CTransferDisplayTest::clickOnAMarkerOnlySelectsIt()
{
    dialogs_.colorAnswers.push_back(QColor(0, 0, 255));
    click(200);
    click(205);
    click(3);
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 1, "clicks on markers must open no dialog");
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 3, "clicks on markers add nothing");
    TVL_CHECK_EQ(strip_->selectedPoint(), 0, "the last click selected the left end point");
}

void CTransferDisplayTest::dragMovesThePointAndOpensNoDialog()
{
    dialogs_.colorAnswers.push_back(QColor(0, 0, 255));
    click(150);
    sendMouse(strip_.get(), QEvent::MouseButtonPress, {150, 15}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(strip_.get(), QEvent::MouseMove, {156, 15}, Qt::NoButton, Qt::LeftButton);
    sendMouse(strip_.get(), QEvent::MouseMove, {163, 28}, Qt::NoButton, Qt::LeftButton);
    TVL_CHECK(strip_->isDragging(), "moving a point is a drag");
    sendMouse(strip_.get(), QEvent::MouseButtonRelease, {220, 15}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK(pointAtColumn(163) != TransferFunction::kNoPoint, "the point must follow the cursor");
    TVL_CHECK_EQ(pointAtColumn(150), TransferFunction::kNoPoint, "the point must have left its column");
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 1, "releasing a drag over an empty place opens no dialog");
    TVL_CHECK(!strip_->isDragging(), "the release ends the drag");
    TVL_CHECK_EQ(strip_->colorTable()->entry(163), (Rgb {0, 0, 255}), "the ramp follows the moved point");
}

void CTransferDisplayTest::draggingAnEndPointLeavesItInPlace()
{
    sendMouse(strip_.get(), QEvent::MouseButtonPress, {2, 15}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(strip_.get(), QEvent::MouseMove, {8, 15}, Qt::NoButton, Qt::LeftButton);
    sendMouse(strip_.get(), QEvent::MouseButtonRelease, {40, 15}, Qt::LeftButton, Qt::NoButton);
    TVL_CHECK_EQ(strip_->transferFunction().point(0).column(), 0, "an end point cannot be moved");
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 0, "a drag of an end point opens no dialog on release");
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 2, "nothing is added");
}

void CTransferDisplayTest::contextMenuHoldsTheCommandsAndPresets()
{
    TVL_CHECK(!strip_->contextMenuAt({-4, 10}), "no menu to the left of the strip");
    TVL_CHECK(!strip_->contextMenuAt({100, kHeight + 2}), "no menu below the strip");
    const std::unique_ptr<QMenu> menu = strip_->contextMenuAt({100, 10});
    QVERIFY2(menu, "a right click in the strip opens the menu");
    const QList<QAction*> actions = menu->actions();
    TVL_CHECK_EQ(actions.size(), 4, "two commands, a separator and the preset submenu");
    TVL_CHECK_EQ(actions[0]->text(), QStringLiteral("Change Color"), "first item");
    TVL_CHECK_EQ(actions[1]->text(), QStringLiteral("Delete"), "second item");
    TVL_CHECK(actions[2]->isSeparator(), "then a separator");
    QMenu* presets = actions[3]->menu();
    QVERIFY2(presets && actions[3]->text() == QStringLiteral("PRESET"), "the last item is the PRESET submenu");
    QStringList names;
    for (const QAction* action : presets->actions())
        names << action->text();
    TVL_CHECK_EQ(names,
        (QStringList {QStringLiteral("Black-White"), QStringLiteral("Blue-Yellow"), QStringLiteral("Blue-Green-Red"),
            QStringLiteral("Black-Blue-Cyan"), QStringLiteral("Black-Orange-Yellow")}),
        "the presets in menu order");
    for (const QAction* action : menu->actions())
        TVL_CHECK(action->isEnabled() && !action->isCheckable(), "no item is disabled or checkable");
}

void CTransferDisplayTest::deleteRemovesInteriorPointsOnly()
{
    dialogs_.colorAnswers.push_back(QColor(255, 0, 0));
    click(150);
    std::unique_ptr<QMenu> menu = strip_->contextMenuAt({kWidth - 3, 10});
    findAction(menu.get(), QStringLiteral("Delete"))->trigger();
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 3, "Delete on an end point does nothing");
    menu = strip_->contextMenuAt({152, 10});
    findAction(menu.get(), QStringLiteral("Delete"))->trigger();
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 2, "Delete on an interior point removes it");
    TVL_CHECK(strip_->colorTable()->entry(150) != (Rgb {255, 0, 0}), "the ramp no longer passes through it");
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 1, "Delete opens no dialog");
}

void CTransferDisplayTest::presetsReplaceThePoints()
{
    struct Expected {
        QString name;
        int count;
        Rgb first;
        Rgb last;
    };
    const Expected expected[] = {
        {QStringLiteral("Blue-Yellow"), 2, {0, 0, 255}, {255, 255, 0}},
        {QStringLiteral("Blue-Green-Red"), 3, {0, 0, 255}, {255, 0, 0}},
        {QStringLiteral("Black-Blue-Cyan"), 3, {0, 0, 0}, {0, 255, 255}},
        {QStringLiteral("Black-Orange-Yellow"), 3, {0, 0, 0}, {255, 255, 0}},
        {QStringLiteral("Black-White"), 2, {0, 0, 0}, {255, 255, 255}},
    };
    for (const Expected& preset : expected) {
        const std::unique_ptr<QMenu> menu = strip_->contextMenuAt({100, 10});
        QMenu* presets = menu->actions().last()->menu();
        findAction(presets, preset.name)->trigger();
        const TransferFunction& model = strip_->transferFunction();
        TVL_CHECK_EQ(model.pointCount(), preset.count, preset.name + QStringLiteral(": point count"));
        TVL_CHECK(model.point(0).colour() == preset.first, preset.name + QStringLiteral(": left colour"));
        TVL_CHECK(model.point(model.pointCount() - 1).colour() == preset.last,
            preset.name + QStringLiteral(": right colour"));
        TVL_CHECK(strip_->colorTable()->entry(0) == preset.first, preset.name + QStringLiteral(": table start"));
    }
    TVL_CHECK_EQ(dialogs_.prompts.size(), std::size_t {0}, "presets open no dialog");
}

void CTransferDisplayTest::changeColorRecoloursTheSelectedPoint()
{
    std::unique_ptr<QMenu> menu = strip_->contextMenuAt({150, 10});
    findAction(menu.get(), QStringLiteral("Change Color"))->trigger();
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 0, "Change Color with no point under the click does nothing");

    dialogs_.colorAnswers.push_back(QColor(0, 0, 255));
    menu = strip_->contextMenuAt({3, 10});
    findAction(menu.get(), QStringLiteral("Change Color"))->trigger();
    TVL_CHECK_EQ(strip_->transferFunction().point(0).colour(), (Rgb {0, 0, 255}), "the end point takes the new colour");
    TVL_CHECK_EQ(strip_->colorTable()->entry(0), (Rgb {0, 0, 255}), "the ramp starts at the new colour");
    TVL_CHECK(before_ == 1 && after_ == 1, "the canvases are hidden around the dialog");

    menu = strip_->contextMenuAt({3, 10});
    findAction(menu.get(), QStringLiteral("Change Color"))->trigger();
    TVL_CHECK_EQ(strip_->transferFunction().point(0).colour(), (Rgb {0, 0, 255}), "Cancel leaves the colour");
}

TVL_GUI_TEST_MAIN(CTransferDisplayTest)
#include "CTransferDisplayTest.moc"
