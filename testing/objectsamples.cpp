#include "objectsamples.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace tq::samples {

QStringList objectSampleFamilies()
{
    QStringList families = QDir(QStringLiteral(TQ_OBJECT_SAMPLES)).entryList({QStringLiteral("*.json")}, QDir::Files);
    for (QString& family : families)
        family.chop(5);
    return families;
}

QJsonObject objectSamples(const QString& family)
{
    QFile file(QStringLiteral(TQ_OBJECT_SAMPLES "/%1.json").arg(family));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace tq::samples
