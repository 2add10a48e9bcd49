#include "resources/ResourceBundle.h"

#include <QFile>
#include <QString>

QByteArray LoadCustomResource(const char* type, unsigned id) {
    QFile file(QStringLiteral(":/%1/%2").arg(QString::fromLatin1(type)).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QPixmap LoadBitmapResource(unsigned id) {
    return QPixmap(QStringLiteral(":/bitmaps/%1").arg(id));
}
