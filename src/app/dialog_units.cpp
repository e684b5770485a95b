#include "app/dialog_units.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QScreen>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QStyle>
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

// Room the window system takes around a form: title bar and borders.
constexpr QSize kFrameAllowance(16, 48);
// A form too large for its screen takes a smaller font, down to this.
constexpr qreal kSmallestPointSize = 5.0;
constexpr qreal kPointSizeStep = 0.5;

QSize FormPixels(const QWidget* form, int widthUnits, int heightUnits) {
    const BaseUnits base = MeasureBaseUnits(form);
    return QSize(ToPixelsAcross(widthUnits, base), ToPixelsDown(heightUnits, base));
}

// The forms were designed for a screen of their time; on a small screen or a large scale
// factor the form takes a smaller font, so that all of it, its buttons too, stays on screen.
void FitFontToScreen(QWidget* form, int widthUnits, int heightUnits) {
    const QScreen* screen = form->screen();
    QFont font = form->font();
    if (screen == nullptr || font.pointSizeF() <= 0) {
        return;
    }
    const QSize room = screen->availableGeometry().size() - kFrameAllowance;
    auto fits = [&] {
        const QSize size = FormPixels(form, widthUnits, heightUnits);
        return size.width() <= room.width() && size.height() <= room.height();
    };
    while (!fits() && font.pointSizeF() - kPointSizeStep >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - kPointSizeStep);
        form->setFont(font);
    }
}

// The forms' group boxes were designed with the title across the frame's top line, half a
// title below the box's top. Styles that draw the title above the line instead push the line
// down through the first control; the boxes are drawn as designed, whatever the style.
constexpr const char* kGroupBoxAsDesigned =
    "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 0.5em; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px;"
    " padding: 0px 2px; background-color: palette(window); }";

}  // namespace

void ApplyDialogUnits(QWidget* form, int widthUnits, int heightUnits) {
    FitFontToScreen(form, widthUnits, heightUnits);
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
        if (auto* box = qobject_cast<QGroupBox*>(child)) {
            box->setStyleSheet(QString::fromLatin1(kGroupBoxAsDesigned));
            box->lower();
        }
    }
    form->setFixedSize(ToPixelsAcross(widthUnits, base), ToPixelsDown(heightUnits, base));
}

}  // namespace qv
