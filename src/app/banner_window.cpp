#include "app/banner_window.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtGui/QWindow>

namespace qv {

namespace {

// Generous height for one line's box; drawText does not clip to it.
constexpr int kLineBoxHeight = 40;

// The window system maps a new window asynchronously, and the thread blocks in the port probe
// right after: wait this long at most for the banner to be on screen before painting it.
constexpr std::chrono::milliseconds kExposeWait{300};
constexpr std::chrono::milliseconds kExposePoll{10};

int bannerEnabled = 0;
BannerWindow* currentBanner = nullptr;
BannerTexts bannerTexts;

// The banner's fonts are given by their cell height (ascent plus descent), not by the size
// of the em: take the largest pixel size whose cell fits.
QFont MakeBannerFont(int cellHeight) {
    // Arial, or the closest of its look-alikes that the system has.
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Helvetica"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(static_cast<QFont::Weight>(kBannerFontWeight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    for (int pixels = cellHeight; pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).height() <= cellHeight) {
            break;
        }
    }
    return font;
}

// The font as made, or smaller until the text fits the width: the window's title with its
// version is wider than the picture at the large font.
QFont FittedFont(QFont font, const QString& text, int width) {
    while (font.pixelSize() > kBannerLeastPixels &&
           QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

}  // namespace

void EnableBanner(int flag) {
    bannerEnabled = flag;
}

void SetBannerTexts(const BannerTexts& texts) {
    bannerTexts = texts;
}

BannerWindow* CurrentBanner() {
    return currentBanner;
}

void ShowBanner(QWidget* owner) {
    if (bannerEnabled == 0 || currentBanner != nullptr) {
        return;
    }
    auto* banner = new BannerWindow(owner);
    if (!banner->HasPicture()) {
        delete banner;  // no picture, no banner, no message
        return;
    }
    currentBanner = banner;
    banner->Present();
}

void CloseBanner() {
    if (bannerEnabled != 0 && currentBanner != nullptr) {
        currentBanner->Hide();
    }
}

BannerWindow::BannerWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint),
      owner_(owner),
      picture_(QStringLiteral(":/qv-updater/banner.png")),
      largeFont_(MakeBannerFont(kBannerLargeCell)),
      middleFont_(MakeBannerFont(kBannerMiddleCell)),
      smallFont_(MakeBannerFont(kBannerSmallCell)) {
    setObjectName(QStringLiteral("banner"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    if (HasPicture()) {
        setFixedSize(picture_.size());
    }
}

BannerWindow::~BannerWindow() {
    if (currentBanner == this) {
        currentBanner = nullptr;
    }
}

void BannerWindow::Present() {
    CentreOverOwner();
    show();
    lifetimeTimer_.start(static_cast<int>(kBannerLifetime.count()), this);
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() != nullptr && !windowHandle()->isExposed() &&
           waited.elapsed() < kExposeWait.count()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents,
                                        static_cast<int>(kExposePoll.count()));
    }
    repaint();  // at once: the port probe that follows does not let the event loop run
}

void BannerWindow::Hide() {
    lifetimeTimer_.stop();
    hide();
    if (currentBanner == this) {
        currentBanner = nullptr;
    }
    deleteLater();
    if (owner_ != nullptr && owner_->isVisible()) {
        owner_->repaint();
    }
}

void BannerWindow::CentreOverOwner() {
    QRect area;
    if (owner_ != nullptr && owner_->isVisible()) {
        area = owner_->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void BannerWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
    painter.setPen(QColor(0, 0, 0));
    painter.setBackgroundMode(Qt::TransparentMode);
    const int width = picture_.width();

    const int centredWidth = width - 2 * kBannerSideMargin;
    painter.setFont(FittedFont(largeFont_, bannerTexts[0], centredWidth));
    painter.drawText(QRect(0, kBannerTitleTop, width, kLineBoxHeight),
                     Qt::AlignTop | Qt::AlignHCenter, bannerTexts[0]);
    painter.setFont(FittedFont(middleFont_, bannerTexts[1], centredWidth));
    painter.drawText(QRect(0, kBannerSubtitleTop, width, kLineBoxHeight),
                     Qt::AlignTop | Qt::AlignHCenter, bannerTexts[1]);
    for (const BannerRightLine& line : kBannerRightLines) {
        const QString& text = bannerTexts[line.textIndex];
        painter.setFont(FittedFont(smallFont_, text, kBannerRightEdge - kBannerSideMargin));
        painter.drawText(QRect(0, line.top, kBannerRightEdge, kLineBoxHeight),
                         Qt::AlignTop | Qt::AlignRight, text);
    }
}

void BannerWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == lifetimeTimer_.timerId()) {
        Hide();
    }
}

}  // namespace qv
