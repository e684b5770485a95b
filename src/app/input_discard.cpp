#include "app/input_discard.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEvent>

namespace qv {

bool InputDiscarder::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
            return true;
        default:
            return false;
    }
}

ScopedInputDiscard::ScopedInputDiscard() {
    QCoreApplication::instance()->installEventFilter(&discarder_);
}

ScopedInputDiscard::~ScopedInputDiscard() {
    QCoreApplication::instance()->removeEventFilter(&discarder_);
}

void DiscardPendingInput() {
    const ScopedInputDiscard discard;
    QCoreApplication::processEvents();
}

}  // namespace qv
