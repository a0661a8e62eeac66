#include "model/responsewithitems.h"

namespace tq {

void ResponseWithItems::fromJson(const QJsonObject& json)
{
    itemsFromJson(json);
    readJsonFields(*this, json);
}

QJsonObject ResponseWithItems::toJson() const
{
    QJsonObject json;
    writeJsonFields(*this, json);
    if (!appliedSort.isValid())
        json.remove(QLatin1String("applied_sort"));
    itemsToJson(json);
    return json;
}

int ResponseWithItems::readCborField(CborReader& reader)
{
    if (reader.keyIs("items"))
        itemsFromCbor(reader);
    else if (!readCborFields(*this, reader))
        reader.next();
    return reader.errorCode();
}

void ResponseWithItems::itemsFromCbor(CborReader& reader)
{
    reader.next();
}

} // namespace tq
