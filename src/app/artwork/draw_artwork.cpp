// Draws the program's own artwork at build time: the start-up banner picture (438 x 270) and
// the application icon. Shapes only; the banner's texts are painted over it at run time.
// The icon is drawn on a 128-pixel grid and scaled, so every size of the desktop's icon theme
// is painted from the same shapes rather than resampled from one picture. The Windows build
// takes the same artwork as an icon file and a bitmap (--windows), which its resource compiler
// needs.

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRadialGradient>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// The sizes of the Windows icon: the window's caption and task bar, the file manager's views.
constexpr int kWindowsIconSizes[] = {16, 24, 32, 48, 256};
// From this size on an icon entry is stored as PNG, as Windows' own large icons are.
constexpr int kFirstPngIconSize = 256;

void PutLe16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutLe32(QByteArray& out, quint32 value) {
    PutLe16(out, static_cast<int>(value & 0xFFFF));
    PutLe16(out, static_cast<int>(value >> 16));
}

// One icon entry as a device-independent bitmap: a header of twice the height, the colours
// bottom-up with their alpha, then the transparency mask that old renderers read.
QByteArray IconBitmap(const QImage& icon) {
    const QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    PutLe32(out, 40);
    PutLe32(out, static_cast<quint32>(size));
    PutLe32(out, static_cast<quint32>(size * 2));
    PutLe16(out, 1);   // planes
    PutLe16(out, 32);  // bits per pixel
    PutLe32(out, 0);   // BI_RGB
    PutLe32(out, static_cast<quint32>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i) {
        PutLe32(out, 0);  // resolution and palette: unused
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray mask(maskStride, '\0');
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            if (qAlpha(row[x]) == 0) {
                mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(mask);
    }
    return out;
}

QByteArray IconPng(const QImage& icon) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG");
    return png;
}

// An icon file with every size of kWindowsIconSizes, each drawn from the shapes.
bool SaveWindowsIcon(const QString& path) {
    std::vector<QByteArray> entries;
    for (const int size : kWindowsIconSizes) {
        const QImage icon = DrawIcon(size);
        entries.push_back(size >= kFirstPngIconSize ? IconPng(icon) : IconBitmap(icon));
    }
    QByteArray file;
    PutLe16(file, 0);
    PutLe16(file, 1);  // an icon, not a cursor
    PutLe16(file, static_cast<int>(entries.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int size = kWindowsIconSizes[i];
        file.append(static_cast<char>(size >= 256 ? 0 : size));  // 0 stands for 256
        file.append(static_cast<char>(size >= 256 ? 0 : size));
        file.append('\0');  // no palette
        file.append('\0');
        PutLe16(file, 1);
        PutLe16(file, 32);
        PutLe32(file, static_cast<quint32>(entries[i].size()));
        PutLe32(file, offset);
        offset += static_cast<quint32>(entries[i].size());
    }
    for (const QByteArray& entry : entries) {
        file.append(entry);
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

}  // namespace

int main(int argc, char** argv) {
    const bool iconAlone = argc == 4 && std::strcmp(argv[1], "--icon") == 0;
    const bool windows = argc == 4 && std::strcmp(argv[1], "--windows") == 0;
    if (argc != 3 && !iconAlone && !windows) {
        std::fprintf(stderr,
                     "usage: draw_artwork BANNER.png ICON.png\n"
                     "       draw_artwork --icon SIZE ICON.png\n"
                     "       draw_artwork --windows BANNER.bmp ICON.ico\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    bool saved = false;
    if (windows) {
        saved = DrawBanner().save(QString::fromLocal8Bit(argv[2]), "BMP") &&
                SaveWindowsIcon(QString::fromLocal8Bit(argv[3]));
    } else if (iconAlone) {
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
