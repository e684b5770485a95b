#pragma once
// The line under the progress bar: what the job is doing and how it ended. One line, cut in the
// middle when it is too long; the whole text is its tooltip.

#include <QtWidgets/QLabel>

namespace qv {

class StatusLine final : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;
    // Shown at once: the window's thread may block in a serial read right after.
    void ShowText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qv
