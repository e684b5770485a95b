// The start-up banner: when it shows, where its texts go, and how it ends.

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtGui/QImage>
#include <QtGui/QScreen>
#include <QtTest/QTest>

#include "app/banner_window.h"

namespace qv::test {
namespace {

// The box around every pixel where two pictures differ (empty when they are equal).
QRect Difference(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

QImage Painted(const BannerTexts& texts) {
    SetBannerTexts(texts);
    return CurrentBanner()->grab().toImage();
}

class Banner : public ::testing::Test {
  protected:
    void TearDown() override {
        EnableBanner(1);
        CloseBanner();
        EnableBanner(0);
        SetBannerTexts({});
    }
};

TEST_F(Banner, ShowsOnlyWhenEnabledAndOnlyOnce) {
    EnableBanner(0);
    ShowBanner(nullptr);
    EXPECT_EQ(CurrentBanner(), nullptr);

    EnableBanner(1);
    ShowBanner(nullptr);
    BannerWindow* banner = CurrentBanner();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->size(), QSize(438, 270));
    EXPECT_EQ(banner->geometry().center(),
              QGuiApplication::primaryScreen()->availableGeometry().center())
        << "no visible owner: centred on the screen";
    ShowBanner(nullptr);
    EXPECT_EQ(CurrentBanner(), banner) << "a second banner is not made";

    CloseBanner();
    EXPECT_EQ(CurrentBanner(), nullptr);
    CloseBanner();  // nothing showing: nothing happens
    EXPECT_EQ(CurrentBanner(), nullptr);
}

TEST_F(Banner, TextsGoToTheirPlaces) {
    EnableBanner(1);
    ShowBanner(nullptr);
    ASSERT_NE(CurrentBanner(), nullptr);
    const QImage plain = Painted({});

    // The two lines the main window passes: centred, in the middle band only.
    const QRect centred = Difference(plain, Painted({"Updater Ver. DEMO-1.0", "Checking....."}));
    ASSERT_FALSE(centred.isEmpty());
    EXPECT_GE(centred.top(), 107);
    EXPECT_LT(centred.bottom(), 160);
    EXPECT_NEAR(centred.center().x(), 219, 6);

    // Text 7: right-aligned, ending at x = 410, top at y = 247.
    BannerTexts lastOnly;
    lastOnly[6] = QStringLiteral("Right aligned 7");
    const QRect last = Difference(plain, Painted(lastOnly));
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LE(last.right(), 410);
    EXPECT_GE(last.right(), 400);
    EXPECT_GE(last.top(), 247);
    EXPECT_LT(last.bottom(), 270);

    // Text 6 is never drawn.
    BannerTexts sixthOnly;
    sixthOnly[5] = QStringLiteral("Never shown");
    EXPECT_TRUE(Difference(plain, Painted(sixthOnly)).isEmpty());
}

// The window's title with its version is wider than the picture at the large font: it takes
// a smaller one and keeps clear of the edges, whole.
TEST_F(Banner, TheWindowsTitleFitsThePicture) {
    EnableBanner(1);
    ShowBanner(nullptr);
    ASSERT_NE(CurrentBanner(), nullptr);
    const QImage plain = Painted({});
    const QString title =
        QStringLiteral("Updater for QV-310/QV-410(HW V2.0)         Ver. DEMO-1.0");
    const QRect drawn = Difference(plain, Painted({title, QString()}));
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_GE(drawn.left(), 4) << "clipped at the left";
    EXPECT_LE(drawn.right(), 433) << "clipped at the right";
    EXPECT_NEAR(drawn.center().x(), 219, 6);
    EXPECT_GE(drawn.top(), 107);
    EXPECT_LT(drawn.bottom(), 130) << "above the second line";
}

TEST_F(Banner, ClosesItselfAfterFiveSecondsWhenEventsFlow) {
    constexpr qint64 kGiveUpAfterMs = 9000;  // generous: the machine may be busy
    EnableBanner(1);
    QElapsedTimer clock;
    clock.start();
    ShowBanner(nullptr);
    ASSERT_NE(CurrentBanner(), nullptr);
    while (CurrentBanner() != nullptr && clock.elapsed() < kGiveUpAfterMs) {
        QTest::qWait(20);
    }
    EXPECT_EQ(CurrentBanner(), nullptr);
    // A coarse timer may fire up to 5 % early.
    EXPECT_GE(clock.elapsed(), 4700);
}

}  // namespace
}  // namespace qv::test
