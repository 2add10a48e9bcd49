// tl_terminal_picture OUTPUT.png [TITLE] < TEXT: draws text as a terminal window shows it (a
// monospaced font, light on dark, a title bar) and saves it as a PNG, with Qt's offscreen platform
// when there is no display. Makes the README's picture of scripts/run.sh.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: tl_terminal_picture OUTPUT.png [TITLE] < TEXT\n");
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QTextStream in(stdin);
    const QStringList lines = in.readAll().split('\n');
    const QString title = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Terminal");

    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    const QFontMetrics metrics(font);
    int columns = 0;
    for (const QString& line : lines)
        columns = std::max(columns, metrics.horizontalAdvance(line));
    constexpr int kMargin = 14;
    constexpr int kTitleBar = 28;
    const int width = columns + 2 * kMargin;
    const int height = kTitleBar + kMargin * 2 + metrics.lineSpacing() * static_cast<int>(lines.size());

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x1e, 0x1f, 0x22));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(0, 0, width, kTitleBar, QColor(0x3a, 0x3c, 0x40));
    for (int i = 0; i < 3; ++i) {
        static const QColor kButtons[] = {QColor(0xff, 0x5f, 0x57), QColor(0xfe, 0xbc, 0x2e),
                                          QColor(0x28, 0xc8, 0x40)};
        painter.setBrush(kButtons[i]);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(16 + 20 * i, kTitleBar / 2), 6, 6);
    }
    QFont titleFont(QStringLiteral("DejaVu Sans"));
    titleFont.setPixelSize(13);
    painter.setFont(titleFont);
    painter.setPen(QColor(0xd0, 0xd0, 0xd0));
    painter.drawText(QRect(0, 0, width, kTitleBar), Qt::AlignCenter, title);

    painter.setFont(font);
    int y = kTitleBar + kMargin + metrics.ascent();
    for (const QString& line : lines) {
        // Section headings of the summary and the script's own lines stand out.
        const bool heading = line.startsWith(QStringLiteral("==")) || line.startsWith(QStringLiteral("$ "));
        painter.setPen(heading ? QColor(0x7e, 0xc8, 0xff) : QColor(0xe6, 0xe6, 0xe6));
        painter.drawText(kMargin, y, line);
        y += metrics.lineSpacing();
    }
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "tl_terminal_picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
