#include "services/staticdata.h"

namespace static_data {

const tq::ConstantsDictionary<int, QString>& imageTypeDictionary()
{
    static const tq::ConstantsDictionary<int, QString> table(
        {{0, QStringLiteral("hd1080")}, {1, QStringLiteral("hd720")}, {2, QStringLiteral("sd576")}}, QString());
    return table;
}

const tq::ConstantsDictionary<int, QString>& resourceSubsetDictionary()
{
    static const tq::ConstantsDictionary<int, QString> table({{0, QStringLiteral("qr")}}, QString());
    return table;
}

} // namespace static_data
