#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QString>

namespace vx {

// A value as JSON text, for the command line's JSON lines (a document holds only arrays and objects:
// the value is taken out of a one-element array).
inline QString jsonText(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

}  // namespace vx
