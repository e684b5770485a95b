#include "app/dialog_units.h"

#include <QtGui/QFontMetrics>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QWidget>

namespace qv {

namespace {

struct BaseUnits {
    int across;  // pixels per 4 horizontal units
    int down;    // pixels per 8 vertical units
};

BaseUnits MeasureBaseUnits(const QWidget* form) {
    const QFontMetrics metrics(form->font());
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // The average width over the 52 letters, rounded.
    const int averageWidth = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
    return BaseUnits{averageWidth, metrics.height()};
}

int ToPixelsAcross(int units, const BaseUnits& base) {
    return (units * base.across + 2) / 4;
}
int ToPixelsDown(int units, const BaseUnits& base) {
    return (units * base.down + 4) / 8;
}

}  // namespace

void ApplyDialogUnits(QWidget* form, int widthUnits, int heightUnits) {
    const BaseUnits base = MeasureBaseUnits(form);
    const auto children = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        const QRect units = child->geometry();
        QRect pixels(ToPixelsAcross(units.x(), base), ToPixelsDown(units.y(), base),
                     ToPixelsAcross(units.width(), base), ToPixelsDown(units.height(), base));
        if (child->property("keepPixelSize").toBool()) {
            pixels.setSize(units.size());
        } else if (qobject_cast<QComboBox*>(child) != nullptr) {
            pixels.setHeight(child->sizeHint().height());
        }
        child->setGeometry(pixels);
    }
    // Group boxes are only frames around their neighbours; keep them beneath.
    for (QWidget* child : children) {
        if (qobject_cast<QGroupBox*>(child) != nullptr) {
            child->lower();
        }
    }
    form->setFixedSize(ToPixelsAcross(widthUnits, base), ToPixelsDown(heightUnits, base));
}

}  // namespace qv
