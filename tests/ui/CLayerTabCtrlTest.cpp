#include "ui/CLayerTabCtrl.h"

#include "GuiTest.h"

using namespace tvl;
using namespace tvl::test;

class CLayerTabCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void pagesGetTabsAndKeepTheirFocus();

private:
    // A page with two controls that take the focus.
    QWidget* page(QWidget** controls)
    {
        auto* page = new QWidget;
        controls[0] = new QLineEdit(page);
        controls[1] = new QPushButton(QStringLiteral("Button"), page);
        controls[1]->move(0, 30);
        return page;
    }
};

void CLayerTabCtrlTest::pagesGetTabsAndKeepTheirFocus()
{
    CLayerTabCtrl tabs;
    QWidget* a[2];
    QWidget* b[2];
    QWidget* pageA = page(a);
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("ArrowPlot"), 0, pageA, true), 0, "first tab index");
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("Streamlines"), 7, page(b), true), 1, "second tab index");
    TVL_CHECK_EQ(tabs.addPage(QStringLiteral("None"), 2, nullptr), -1, "a null page gets no tab");
    TVL_CHECK(tabs.count() == 2 && tabs.pageParameter(1) == 7 && tabs.pageParameter(2) == -1, "the page entries");
    tabs.resize(300, 200);
    tabs.show();
    QVERIFY2(QTest::qWaitForWindowExposed(&tabs), "the tab control never appeared");
    tabs.activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(&tabs), "the tab control never became active");
    TVL_CHECK(
        pageA->isVisible() && tabs.pageFocusWidget(0) == a[0], "the first page is shown, its first control first");
    a[1]->setFocus();
    QTRY_VERIFY2(a[1]->hasFocus(), "the second control of page A should have the focus");
    tabs.setCurrentIndex(1);
    QTRY_VERIFY2(b[0]->hasFocus(), "page B's first control gets the focus");
    b[1]->setFocus();
    QTRY_VERIFY2(b[1]->hasFocus(), "the second control of page B should have the focus");
    tabs.setCurrentIndex(0);
    QTRY_VERIFY2(a[1]->hasFocus(), "back on page A the control that had the focus there gets it back");
    tabs.setCurrentIndex(1);
    QTRY_VERIFY2(b[1]->hasFocus(), "and back on page B too");
}

TVL_GUI_TEST_MAIN(CLayerTabCtrlTest)
#include "CLayerTabCtrlTest.moc"
