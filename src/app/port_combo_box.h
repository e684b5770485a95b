#pragma once
// The main window's port list: tells the window before it drops down, so that the list is
// fresh when the user looks at it, and drops down wide enough for every entry.

#include <QtWidgets/QComboBox>

namespace qv {

class PortComboBox final : public QComboBox {
    Q_OBJECT

  public:
    using QComboBox::QComboBox;
    void showPopup() override;

  signals:
    // Before the list drops down; the entries may change in the handler.
    void aboutToShowPopup();
};

}  // namespace qv
