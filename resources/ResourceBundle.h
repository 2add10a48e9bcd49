#pragma once

#include <QByteArray>
#include <QPixmap>

// The program's own resources in the Qt resource bundle: custom resources by type and number
// (":/<TYPE>/<id>") and bitmaps by number (":/bitmaps/<id>").

inline constexpr unsigned IDR_LICENSETEXT = 131;
inline constexpr unsigned IDB_HEADER = 133;
inline constexpr unsigned IDB_WATERMARK = 134;

/// The whole content of a custom resource, its size taken from the resource; empty when absent.
QByteArray LoadCustomResource(const char* type, unsigned id);

/// A bitmap resource; a null pixmap when absent. Needs a QGuiApplication.
QPixmap LoadBitmapResource(unsigned id);
