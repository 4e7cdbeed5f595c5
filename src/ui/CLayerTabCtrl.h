#pragma once

#include <QPointer>
#include <QTabWidget>

#include <vector>

namespace tvl {

// Hosts the layer settings pages, one per tab, and keeps the keyboard focus
// inside the page in front: each page remembers the control that last had
// the focus, and that control gets it back when its tab comes to the front.
class CLayerTabCtrl : public QTabWidget {
    Q_OBJECT

public:
    explicit CLayerTabCtrl(QWidget* parent = nullptr);
    // Pages with the delete flag go with the tab control; the others are
    // handed back unparented to whoever owns them.
    ~CLayerTabCtrl() override;

    // Adds a page under a new tab and returns the tab's index, or -1 for a
    // null page. Only the first page is shown at once.
    int addPage(const QString& title, int parameter, QWidget* page, bool deleteOnDestroy = false);

    int pageParameter(int index) const;
    // The control of that page that gets the focus when its tab comes to the
    // front; null when it has none.
    QWidget* pageFocusWidget(int index) const;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    struct PageEntry {
        QPointer<QWidget> page;
        bool deleteOnDestroy = false;
        QPointer<QWidget> focus;
        int parameter = 0;
    };

    void onFocusChanged(QWidget* previous, QWidget* now);
    void onCurrentChanged(int index);
    int pageIndexOf(const QWidget* widget) const;

    std::vector<PageEntry> pages_;
};

} // namespace tvl
