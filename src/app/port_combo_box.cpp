#include "app/port_combo_box.h"

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyle>

namespace qv {

namespace {
// Room beside the widest entry for the item's own margins.
constexpr int kEntryMargin = 24;
}  // namespace

void PortComboBox::showPopup() {
    emit aboutToShowPopup();
    if (count() == 0 || !isEnabled()) {
        return;  // the handler found no port: nothing to drop down
    }
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view()->setMinimumWidth(std::max(width(), widest + scrollBar + kEntryMargin));
    QComboBox::showPopup();
}

}  // namespace qv
