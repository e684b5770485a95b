#pragma once
// Keyboard and mouse input made while the window cannot answer (the port probe at start-up)
// is dropped, not replayed once the window shows.

#include <QtCore/QObject>

namespace qv {

// Eats keyboard and mouse input while installed on the application.
class InputDiscarder final : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Eats keyboard and mouse input for its lifetime (the banner and the probe at start-up).
class ScopedInputDiscard {
  public:
    ScopedInputDiscard();
    ~ScopedInputDiscard();
    ScopedInputDiscard(const ScopedInputDiscard&) = delete;
    ScopedInputDiscard& operator=(const ScopedInputDiscard&) = delete;

  private:
    InputDiscarder discarder_;
};

// Takes every pending event off the queue and drops the keyboard and mouse input among them.
void DiscardPendingInput();

}  // namespace qv
