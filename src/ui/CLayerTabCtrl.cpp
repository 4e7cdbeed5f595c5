#include "ui/CLayerTabCtrl.h"

#include <QApplication>
#include <QFocusEvent>
#include <QProxyStyle>
#include <QTabBar>

namespace tvl {

namespace {

// The first control of the page that takes the keyboard focus.
QWidget* firstFocusableChild(QWidget* page)
{
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() & Qt::TabFocus)
            return child;
    }
    return nullptr;
}

// The three tab titles fill the narrow control with the toolkit's roomy
// default spacing and would hide the last tab behind scroll buttons; less
// space around each title keeps all three in view.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

CLayerTabCtrl::CLayerTabCtrl(QWidget* parent)
    : QTabWidget(parent)
{
    auto* style = new CompactTabStyle;
    style->setParent(this);
    tabBar()->setStyle(style);
    connect(qApp, &QApplication::focusChanged, this, &CLayerTabCtrl::onFocusChanged);
    connect(this, &QTabWidget::currentChanged, this, &CLayerTabCtrl::onCurrentChanged);
}

CLayerTabCtrl::~CLayerTabCtrl()
{
    disconnect(qApp, nullptr, this, nullptr);
    for (auto entry = pages_.rbegin(); entry != pages_.rend(); ++entry) {
        if (!entry->page)
            continue;
        if (entry->deleteOnDestroy)
            delete entry->page.data();
        else
            entry->page->setParent(nullptr);
    }
    pages_.clear();
}

int CLayerTabCtrl::addPage(const QString& title, int parameter, QWidget* page, bool deleteOnDestroy)
{
    if (page == nullptr)
        return -1;
    const int index = count();
    pages_.push_back({page, deleteOnDestroy, firstFocusableChild(page), parameter});
    if (insertTab(index, page, title) != index) {
        pages_.pop_back();
        return -1;
    }
    return index;
}

int CLayerTabCtrl::pageParameter(int index) const
{
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return -1;
    return pages_[static_cast<std::size_t>(index)].parameter;
}

QWidget* CLayerTabCtrl::pageFocusWidget(int index) const
{
    if (index < 0 || index >= static_cast<int>(pages_.size()))
        return nullptr;
    return pages_[static_cast<std::size_t>(index)].focus.data();
}

void CLayerTabCtrl::focusInEvent(QFocusEvent* event)
{
    QTabWidget::focusInEvent(event);
    if (QWidget* focus = pageFocusWidget(currentIndex()))
        focus->setFocus(event->reason());
}

void CLayerTabCtrl::onFocusChanged(QWidget* previous, QWidget* now)
{
    // A page remembers the control that had the focus when the focus left
    // it, whether to another control or because its tab went to the back.
    // Where the focus lands meanwhile (Qt moves it off a page being hidden)
    // is not the user's choice and is not recorded.
    const int left = pageIndexOf(previous);
    if (left >= 0 && left != pageIndexOf(now))
        pages_[static_cast<std::size_t>(left)].focus = previous;
}

void CLayerTabCtrl::onCurrentChanged(int index)
{
    if (QWidget* focus = pageFocusWidget(index))
        focus->setFocus(Qt::TabFocusReason);
}

int CLayerTabCtrl::pageIndexOf(const QWidget* widget) const
{
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const QWidget* page = pages_[i].page.data();
        if (page && widget && page != widget && page->isAncestorOf(widget))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace tvl
