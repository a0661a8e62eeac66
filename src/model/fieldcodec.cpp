#include "model/fieldcodec_p.h"

namespace tq::detail {

bool jsonFieldValue(const QJsonObject& json, const FieldKey& f, QJsonValue* value)
{
    if (f.flags & CborOnly)
        return false;
    const QLatin1String key(f.key, f.keyLength);
    if (f.parent) {
        const QJsonValue parent = json.value(QLatin1String(f.parent, f.parentLength));
        if ((f.flags & WhenPresent) && parent.isUndefined())
            return false;
        *value = parent.toObject().value(key);
    } else {
        *value = json.value(key);
        if ((f.flags & WhenPresent) && value->isUndefined())
            return false;
    }
    if (f.flags & JsonText) {
        // A text that is not JSON reads as an empty object.
        const QJsonDocument document = QJsonDocument::fromJson(value->toString().toUtf8());
        *value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }
    return true;
}

void insertJsonField(QJsonObject& json, const FieldKey& f, QJsonValue value)
{
    if (value.isUndefined())
        return;
    if (f.flags & JsonText)
        value = jsonTextValue(value);
    const QLatin1String key(f.key, f.keyLength);
    if (!f.parent) {
        json.insert(key, value);
        return;
    }
    const QLatin1String parentKey(f.parent, f.parentLength);
    QJsonObject parent = json.value(parentKey).toObject();
    parent.insert(key, value);
    json.insert(parentKey, parent);
}

QJsonValue jsonTextValue(const QJsonValue& value)
{
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    return value;
}

QJsonValue cborJsonText(CborReader& reader)
{
    QString text;
    reader.readText(text);
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

} // namespace tq::detail

namespace tq {

qint64 integerOrText(const QJsonValue& value, qint64 fallback)
{
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok, 10);
        return ok ? number : fallback;
    }
    return value.toInteger(fallback);
}

QString textOrNumber(const QJsonValue& value)
{
    if (!value.isDouble())
        return value.toString();
    const qint64 integer = value.toInteger(LLONG_MIN);
    return integer != LLONG_MIN ? QString::number(integer) : QString::number(value.toDouble());
}

} // namespace tq
