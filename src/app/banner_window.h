#pragma once
// The start-up banner: a borderless picture with up to six lines of text, shown while the
// ports are probed. At most one exists; it is reached only through the four functions below.

#include <QtCore/QBasicTimer>
#include <QtCore/QString>
#include <QtGui/QFont>
#include <QtGui/QPixmap>
#include <QtWidgets/QWidget>
#include <array>
#include <chrono>

#include "frontend/banner_layout.h"
#include "frontend/window_texts.h"

namespace qv {

using BannerTexts = std::array<QString, kBannerTextCount>;

void EnableBanner(int flag);
void SetBannerTexts(const BannerTexts& texts);
void ShowBanner(QWidget* owner);
void CloseBanner();

class BannerWindow;
// The banner that is showing, or null.
BannerWindow* CurrentBanner();

class BannerWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit BannerWindow(QWidget* owner);
    ~BannerWindow() override;

    // False when the picture could not be loaded; such a banner is never shown.
    bool HasPicture() const { return !picture_.isNull(); }
    void Present();
    void Hide();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void CentreOverOwner();

    QWidget* owner_;
    QPixmap picture_;
    QFont largeFont_;
    QFont middleFont_;
    QFont smallFont_;
    QBasicTimer lifetimeTimer_;
};

}  // namespace qv
