#pragma once

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QSet>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace guitest {

/// Offscreen Qt draws every letter as the same box when it finds no font: real text has narrow and
/// wide letters.
inline void ExpectRealGlyphs(const QFont& font) {
    const QFontMetrics metrics(font);
    EXPECT_GT(metrics.horizontalAdvance("Tallymar"), 20);
    EXPECT_LT(metrics.horizontalAdvance("iiiiiiii"), metrics.horizontalAdvance("WWWWWWWW") / 2)
        << QFontInfo(font).family().toStdString();
}

/// Saves a picture of the widget as "<folder>/<name>.png" and returns the file's path.
inline QString SaveScreenshot(QWidget* widget, const QString& folder, const QString& name) {
    QDir().mkpath(folder);
    QApplication::processEvents(); // let the layouts settle after the last change
    const QString file = folder + "/" + name + ".png";
    EXPECT_TRUE(widget->grab().save(file)) << file.toStdString();
    return file;
}

/// How many distinct colours a picture has: a window of real text and controls has many.
inline int ColourCount(const QString& file) {
    const QImage image(file);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    }
    return static_cast<int>(colours.size());
}

} // namespace guitest
