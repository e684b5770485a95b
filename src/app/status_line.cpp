#include "app/status_line.h"

#include <QtGui/QPainter>
#include <QtWidgets/QStyle>

namespace qv {

void StatusLine::ShowText(const QString& text) {
    setText(text);
    setToolTip(text);
    repaint();
}

void StatusLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

}  // namespace qv
