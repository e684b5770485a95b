#pragma once
// The line under the progress bar: what the job is doing and how it ended. One line, cut in the
// middle when it is too long; the whole text is its tooltip.

#include <QtWidgets/QLabel>

namespace qv {

class StatusLine final : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;
    // Painted at once: a fast job's texts follow each other quicker than the window paints.
    void ShowText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qv
