// Draws the program's own artwork at build time: the start-up banner picture (438 x 270) and
// the application icon. Shapes only; the banner's texts are painted over it at run time.
// The icon is drawn on a 128-pixel grid and scaled, so every size of the desktop's icon theme
// is painted from the same shapes rather than resampled from one picture.

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRadialGradient>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kBannerWidth = 438;
constexpr int kBannerHeight = 270;
constexpr int kIconSize = 128;

// A stylised handheld radio: body, antenna, speaker grille and a small display.
void DrawRadio(QPainter& painter, const QRectF& body, const QColor& bodyColour) {
    const qreal unit = body.width() / 10.0;
    QRectF antenna(body.left() + unit * 1.5, body.top() - unit * 5.0, unit * 1.4, unit * 5.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 44, 52));
    painter.drawRoundedRect(antenna, unit * 0.6, unit * 0.6);
    painter.setBrush(bodyColour);
    painter.drawRoundedRect(body, unit * 1.6, unit * 1.6);
    QRectF display(body.left() + unit * 1.5, body.top() + unit * 1.5, unit * 7.0, unit * 3.5);
    painter.setBrush(QColor(170, 220, 190));
    painter.drawRoundedRect(display, unit * 0.5, unit * 0.5);
    painter.setBrush(QColor(30, 34, 40));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            QPointF centre(body.left() + unit * (2.5 + column * 1.7),
                           body.top() + unit * (7.0 + row * 1.6));
            painter.drawEllipse(centre, unit * 0.45, unit * 0.45);
        }
    }
}

QImage DrawBanner() {
    QImage image(kBannerWidth, kBannerHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kBannerHeight);
    sky.setColorAt(0.0, QColor(214, 230, 245));
    sky.setColorAt(1.0, QColor(246, 249, 252));
    painter.fillRect(image.rect(), sky);

    // Radio waves across the top, from a radio at the upper left.
    painter.setBrush(Qt::NoBrush);
    for (int ring = 1; ring <= 6; ++ring) {
        painter.setPen(QPen(QColor(120, 160, 205, 170 - ring * 22), 3));
        const int radius = 24 * ring;
        painter.drawArc(QRectF(64 - radius, 30 - radius, 2 * radius, 2 * radius), -50 * 16,
                        70 * 16);
    }
    DrawRadio(painter, QRectF(30, 38, 30, 52), QColor(64, 86, 120));

    // A band behind the two centred lines (tops at 107 and 130), a rule above the lower right
    // lines (195 to 260), and a larger radio in the free lower left corner.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 190));
    painter.drawRect(QRectF(0, 98, kBannerWidth, 60));
    painter.setBrush(QColor(64, 86, 120));
    painter.drawRect(QRectF(0, 98, kBannerWidth, 2));
    painter.drawRect(QRectF(0, 156, kBannerWidth, 2));
    painter.drawRect(QRectF(250, 186, 160, 2));
    DrawRadio(painter, QRectF(36, 196, 34, 58), QColor(64, 86, 120));
    painter.drawRect(QRectF(0, kBannerHeight - 6, kBannerWidth, 6));
    painter.end();
    return image;
}

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / static_cast<qreal>(kIconSize), size / static_cast<qreal>(kIconSize));
    painter.setPen(Qt::NoPen);
    QRadialGradient disc(kIconSize / 2.0, kIconSize / 2.0, kIconSize / 2.0);
    disc.setColorAt(0.0, QColor(230, 240, 250));
    disc.setColorAt(1.0, QColor(150, 185, 220));
    painter.setBrush(disc);
    painter.drawEllipse(QRectF(2, 2, kIconSize - 4, kIconSize - 4));
    DrawRadio(painter, QRectF(44, 44, 40, 72), QColor(64, 86, 120));
    // An arrow into the radio: the update.
    QPainterPath arrow;
    arrow.moveTo(96, 20);
    arrow.lineTo(116, 44);
    arrow.lineTo(104, 44);
    arrow.lineTo(104, 64);
    arrow.lineTo(88, 64);
    arrow.lineTo(88, 44);
    arrow.lineTo(76, 44);
    arrow.closeSubpath();
    painter.setBrush(QColor(230, 120, 40));
    painter.drawPath(arrow.translated(0, 20).toReversed());
    painter.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    const bool iconAlone = argc == 4 && std::strcmp(argv[1], "--icon") == 0;
    if (argc != 3 && !iconAlone) {
        std::fprintf(stderr,
                     "usage: draw_artwork BANNER.png ICON.png\n"
                     "       draw_artwork --icon SIZE ICON.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    bool saved = false;
    if (iconAlone) {
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "draw_artwork: icon size %s is not 16 to 1024\n", argv[2]);
            return 2;
        }
        saved = DrawIcon(size).save(QString::fromLocal8Bit(argv[3]), "PNG");
    } else {
        saved = DrawBanner().save(QString::fromLocal8Bit(argv[1]), "PNG") &&
                DrawIcon(kIconSize).save(QString::fromLocal8Bit(argv[2]), "PNG");
    }
    if (!saved) {
        std::fprintf(stderr, "draw_artwork: cannot write the pictures\n");
        return 1;
    }
    return 0;
}
