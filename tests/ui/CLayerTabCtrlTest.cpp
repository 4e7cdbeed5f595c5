#include "ui/CLayerTabCtrl.h"

#include "GuiTest.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace tvl;
using namespace tvl::test;

namespace {

// A page with two controls that take the focus.
QWidget* makePage(QWidget*& first, QWidget*& second)
{
    auto* page = new QWidget;
    first = new QLineEdit(page);
    second = new QPushButton(QStringLiteral("Button"), page);
    second->move(0, 30);
    return page;
}

} // namespace

class CLayerTabCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void pagesGetConsecutiveTabsAndTheFirstIsShown();
    void nullPageIsRefused();
    void switchingTabsBringsBackThePagesFocus();
    void destructionDeletesOnlyPagesItOwns();
};

void CLayerTabCtrlTest::pagesGetConsecutiveTabsAndTheFirstIsShown()
{
    CLayerTabCtrl tabs;
    QWidget* a1 = nullptr;
    QWidget* a2 = nullptr;
    QWidget* b1 = nullptr;
    QWidget* b2 = nullptr;
    QWidget* pageA = makePage(a1, a2);
    QWidget* pageB = makePage(b1, b2);
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("ArrowPlot"), 0, pageA, true), 0, "first tab index");
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("Streamlines"), 1, pageB, true), 1, "second tab index");
    tabs.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&tabs), "the tab control never appeared");
    TVL_CHECK_EQ(tabs.tabText(1), QStringLiteral("Streamlines"), "tab title");
    TVL_CHECK_EQ(tabs.pageParameter(1), 1, "page parameter");
    TVL_CHECK(pageA->isVisible() && !pageB->isVisible(), "only the first page is shown");
    TVL_CHECK(tabs.pageFocusWidget(0) == a1, "a page's first focusable control takes the focus first");
}

void CLayerTabCtrlTest::nullPageIsRefused()
{
    CLayerTabCtrl tabs;
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("None"), 0, nullptr), -1, "a null page gets no tab");
    TVL_CHECK_EQ(tabs.count(), 0, "the refused page must leave no tab behind");
    TVL_CHECK_EQ(tabs.pageParameter(0), -1, "no entry for a refused page");
}

void CLayerTabCtrlTest::switchingTabsBringsBackThePagesFocus()
{
    CLayerTabCtrl tabs;
    QWidget* a1 = nullptr;
    QWidget* a2 = nullptr;
    QWidget* b1 = nullptr;
    QWidget* b2 = nullptr;
    tabs.addPage(QStringLiteral("A"), 0, makePage(a1, a2), true);
    tabs.addPage(QStringLiteral("B"), 1, makePage(b1, b2), true);
    tabs.resize(300, 200);
    tabs.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&tabs), "the tab control never appeared");
    tabs.activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(&tabs), "the tab control never became active");

    a2->setFocus();
    QTRY_VERIFY2(a2->hasFocus(), "the second control of page A should have the focus");
    tabs.setCurrentIndex(1);
    QTRY_VERIFY2(b1->hasFocus(), "page B's first control must get the focus");
    b2->setFocus();
    QTRY_VERIFY2(b2->hasFocus(), "the second control of page B should have the focus");
    tabs.setCurrentIndex(0);
    QTRY_VERIFY2(a2->hasFocus(), "back on page A the control that had the focus there must get it back");
    tabs.setCurrentIndex(1);
    QTRY_VERIFY2(b2->hasFocus(), "back on page B the control that had the focus there must get it back");
}

void CLayerTabCtrlTest::destructionDeletesOnlyPagesItOwns()
{
    QWidget* unused = nullptr;
    QWidget* unusedToo = nullptr;
    auto kept = std::unique_ptr<QWidget>(makePage(unused, unusedToo));
    QPointer<QWidget> owned = makePage(unused, unusedToo);
    {
        CLayerTabCtrl tabs;
        tabs.addPage(QStringLiteral("Kept"), 0, kept.get());
        tabs.addPage(QStringLiteral("Owned"), 1, owned.data(), true);
    }
    TVL_CHECK(owned.isNull(), "a page with the delete flag goes with the tab control");
    TVL_CHECK(kept->parent() == nullptr, "a page without the flag is handed back to its owner");
}

TVL_GUI_TEST_MAIN(CLayerTabCtrlTest)
#include "CLayerTabCtrlTest.moc"
