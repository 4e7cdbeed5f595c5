#include "ui/CTransferDisplay.h"

#include "GuiTest.h"

using namespace tvl;
using namespace tvl::test;

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 31;

const auto isMarkerGreen = [](Rgb8 p) { return isColour(p, 0, 150, 0); };

} // namespace

// A 300-pixel strip whose prompts are scripted; before_ and after_ count the
// calls that hide the canvases before a prompt and show them after it.
class CTransferDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void leftClickOnAnEmptyPlaceAsksForTheColourOfANewPoint();
    void dragsMoveInteriorPointsAndOpenNoDialog();
    void contextMenuRecoloursDeletesAndLoadsPresets();

private:
    void press(int x, Qt::MouseButtons buttons, QEvent::Type type = QEvent::MouseButtonPress) const
    {
        sendMouse(strip_.get(), type, {x, 15}, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons);
    }
    void click(int x) const
    {
        press(x, Qt::LeftButton);
        press(x, Qt::NoButton, QEvent::MouseButtonRelease);
    }
    void menu(int x, const QString& item, const QString& preset = {}) const
    {
        const std::unique_ptr<QMenu> m = strip_->contextMenuAt({x, 10});
        for (QAction* action : (preset.isEmpty() ? m.get() : m->actions().last()->menu())->actions())
            if (action->text() == (preset.isEmpty() ? item : preset))
                action->trigger();
    }
    int columnOf(Rgb colour) const
    {
        for (int slot = 0; slot < strip_->transferFunction().pointCount(); ++slot)
            if (strip_->transferFunction().point(slot).colour() == colour)
                return strip_->transferFunction().point(slot).column();
        return -1;
    }

    FakeDialogs dialogs_;
    std::unique_ptr<CTransferDisplay> strip_;
    int before_ = 0;
    int after_ = 0;
};

void CTransferDisplayTest::init()
{
    strip_ = std::make_unique<CTransferDisplay>(QSize(kWidth, kHeight));
    strip_->setDialogs(
        &dialogs_, [this] { ++before_; }, [this] { ++after_; });
    strip_->show();
    QVERIFY2(QTest::qWaitForWindowExposed(strip_.get()), "the strip never appeared");
}

void CTransferDisplayTest::leftClickOnAnEmptyPlaceAsksForTheColourOfANewPoint()
{
    const Rgb e = strip_->colorTable()->entry(150);
    TVL_CHECK(
        countPixels(
            strip_->grab().toImage(), [e](Rgb8 p) { return isColour(p, e.r, e.g, e.b); }, 150, 1, 151, kHeight - 11)
                == kHeight - 12
            && countPixels(strip_->grab().toImage(), isMarkerGreen, 0, kHeight - 12, 12, kHeight) > 5,
        "the ramp's column down to the markers; the black end point shows on black by its green outline");
    dialogs_.colorAnswers.push_back(QColor(255, 0, 0));
    click(120);
    TVL_CHECK_EQ(dialogs_.prompts.front().text, QStringLiteral("#000000"), "the colour dialog starts at black");
    const QImage marked = strip_->grab().toImage();
    TVL_CHECK(columnOf({255, 0, 0}) == 120 && isRed(marked.pixel(120, kHeight - 3)) && isRed(marked.pixel(120, 5))
            && countPixels(marked, isMarkerGreen, 108, kHeight - 12, 133, kHeight) > 10,
        "OK adds a point of the colour at the clicked column, with an outlined marker, the ramp through it");
    TVL_CHECK(countPixels(marked, isMarkerGreen, 114, kHeight - 12, 127, kHeight - 6) > 3,
        "the marker's tip points up into the ramp");
    click(180);
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 3, "Cancel adds nothing");
    TVL_CHECK(before_ == 2 && after_ == 2, "the canvases are hidden around each dialog");
    click(125);
    click(3);
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 2, "clicks on markers open no dialog");
    TVL_CHECK_EQ(strip_->selectedPoint(), 0, "they select the point");
}

void CTransferDisplayTest::dragsMoveInteriorPointsAndOpenNoDialog()
{
    dialogs_.colorAnswers = {QColor(255, 0, 0), QColor(0, 0, 255)};
    click(150);
    click(161);
    // From 150 onto the blue neighbour: the first point in sorted order under
    // the cursor moves, so once past its neighbour the drag carries the neighbour.
    press(150, Qt::LeftButton);
    for (int x : {158, 165, 168})
        press(x, Qt::LeftButton, QEvent::MouseMove);
    TVL_CHECK(strip_->isDragging(), "moving a point is a drag");
    press(220, Qt::NoButton, QEvent::MouseButtonRelease);
    TVL_CHECK(columnOf({255, 0, 0}) == 165 && columnOf({0, 0, 255}) == 168, "red passed blue, then blue moved on");
    TVL_CHECK_EQ(dialogs_.count(QStringLiteral("color")), 2, "a release over an empty place opens no dialog");
    TVL_CHECK(strip_->colorTable()->entry(165) == (Rgb {255, 0, 0}), "the ramp follows the moved points");
    press(2, Qt::LeftButton);
    press(8, Qt::LeftButton, QEvent::MouseMove);
    press(40, Qt::NoButton, QEvent::MouseButtonRelease);
    TVL_CHECK(strip_->transferFunction().point(0).column() == 0 && dialogs_.count(QStringLiteral("color")) == 2,
        "a dragged end point stays and its release opens no dialog");
}

void CTransferDisplayTest::contextMenuRecoloursDeletesAndLoadsPresets()
{
    TVL_CHECK(!strip_->contextMenuAt({-4, 10}) && !strip_->contextMenuAt({100, kHeight + 2}), "no menu outside");
    const std::unique_ptr<QMenu> m = strip_->contextMenuAt({100, 10});
    QStringList items;
    for (const QAction* action : m->actions() + m->actions().last()->menu()->actions())
        items << action->text();
    TVL_CHECK_EQ(items,
        (QStringList {"Change Color", "Delete", "", "PRESET", "Black-White", "Blue-Yellow", "Blue-Green-Red",
            "Black-Blue-Cyan", "Black-Orange-Yellow"}),
        "the menu's items and presets in order");

    menu(150, "Change Color");
    TVL_CHECK(dialogs_.prompts.empty(), "Change Color without a point under the click does nothing");
    dialogs_.colorAnswers = {QColor(0, 0, 255), std::nullopt, QColor(255, 0, 0)};
    menu(3, "Change Color");
    TVL_CHECK(strip_->colorTable()->entry(0) == (Rgb {0, 0, 255}), "the end point takes the new colour");
    menu(3, "Change Color");
    TVL_CHECK(strip_->transferFunction().point(0).colour() == (Rgb {0, 0, 255}), "Cancel leaves the colour");
    click(150);
    menu(kWidth - 3, "Delete");
    TVL_CHECK_EQ(strip_->transferFunction().pointCount(), 3, "Delete on an end point does nothing");
    menu(152, "Delete");
    TVL_CHECK(strip_->transferFunction().pointCount() == 2 && columnOf({255, 0, 0}) == -1, "an interior one goes");
    TVL_CHECK(before_ == 3 && after_ == 3 && dialogs_.count(QStringLiteral("color")) == 3, "one dialog per colour");
    const struct {
        const char* name;
        int count;
        Rgb first, last;
    } rows[] = {{"Blue-Green-Red", 3, {0, 0, 255}, {255, 0, 0}}, {"Black-White", 2, {0, 0, 0}, {255, 255, 255}}};
    for (const auto& row : rows) {
        menu(100, {}, row.name);
        const TransferFunction& model = strip_->transferFunction();
        TVL_CHECK(model.pointCount() == row.count && model.point(0).colour() == row.first
                && model.point(row.count - 1).colour() == row.last && strip_->colorTable()->entry(0) == row.first,
            row.name);
    }
}

TVL_GUI_TEST_MAIN(CTransferDisplayTest)
#include "CTransferDisplayTest.moc"
