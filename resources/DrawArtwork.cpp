// Draws the wizard's two pictures at build time: the watermark of the welcome page (bitmap 134,
// 164 by 314 pixels) and the picture of the header band (bitmap 133, 49 by 49 pixels). Both are
// plain shapes, so painting needs no fonts and no display.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

const QColor kNavy(0x1d, 0x35, 0x57);
const QColor kTeal(0x2a, 0x7f, 0x8e);
const QColor kGold(0xe9, 0xb9, 0x4a);
const QColor kPaper(0xfb, 0xf8, 0xf0);

// A folder of case files: a tab and a body, drawn from its top left corner.
void DrawFolder(QPainter& painter, QRectF body, const QColor& colour) {
    QPainterPath tab;
    tab.addRoundedRect(
        QRectF(body.left(), body.top() - body.height() * 0.14, body.width() * 0.4, body.height() * 0.2), 3,
        3);
    painter.setPen(QPen(colour.darker(130), 1.2));
    painter.setBrush(colour);
    painter.drawPath(tab);
    painter.drawRoundedRect(body, 4, 4);
}

// A balance: a post, a beam and two pans hanging from it.
void DrawBalance(QPainter& painter, QPointF top, qreal width, const QColor& colour) {
    painter.setPen(QPen(colour, width / 30, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const qreal half = width / 2;
    painter.drawLine(top, top + QPointF(0, width * 0.9));
    painter.drawLine(top + QPointF(-half, width * 0.1), top + QPointF(half, width * 0.1));
    painter.drawLine(top + QPointF(-width * 0.25, width * 0.9), top + QPointF(width * 0.25, width * 0.9));
    for (const qreal side : {-half, half}) {
        const QPointF hook = top + QPointF(side, width * 0.1);
        painter.drawLine(hook, hook + QPointF(-width * 0.15, width * 0.38));
        painter.drawLine(hook, hook + QPointF(width * 0.15, width * 0.38));
        painter.drawArc(QRectF(hook.x() - width * 0.18, hook.y() + width * 0.24, width * 0.36, width * 0.28),
                        180 * 16, 180 * 16);
    }
    painter.setBrush(colour);
    painter.drawEllipse(top, width / 18, width / 18);
}

QImage Watermark() {
    QImage image(164, 314, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, image.height());
    sky.setColorAt(0, kNavy);
    sky.setColorAt(1, kTeal);
    painter.fillRect(image.rect(), sky);

    // Soft light behind the balance.
    QRadialGradient glow(QPointF(82, 110), 90);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(image.rect(), glow);
    DrawBalance(painter, QPointF(82, 62), 104, kGold);

    // A stack of case folders at the foot of the picture.
    DrawFolder(painter, QRectF(22, 232, 92, 52), kPaper.darker(112));
    DrawFolder(painter, QRectF(38, 246, 92, 52), kPaper.darker(104));
    DrawFolder(painter, QRectF(54, 260, 92, 44), kPaper);
    painter.setPen(QPen(kTeal, 2));
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(66, 274 + line * 8), QPointF(132 - line * 12, 274 + line * 8));
    return image;
}

QImage Header() {
    QImage image(49, 49, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient disc(0, 0, 49, 49);
    disc.setColorAt(0, kTeal);
    disc.setColorAt(1, kNavy);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disc);
    painter.drawEllipse(QRectF(1, 1, 47, 47));
    DrawBalance(painter, QPointF(24.5, 9), 30, kGold);
    return image;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: tl_draw_artwork <output folder>\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "tl_draw_artwork: cannot create %s\n", argv[1]);
        return 1;
    }
    if (!Watermark().save(folder + "/watermark134.png") || !Header().save(folder + "/header133.png")) {
        std::fprintf(stderr, "tl_draw_artwork: cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
