#include "modelsamples.h"

#include "model/fieldcodec_p.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>

namespace tq::samples {

namespace {

QJsonObject programme(int channel, int index)
{
    const qint64 start = 1700000000 + qint64(index) * 1800;
    return QJsonObject{
        {"id", channel * 100 + index},
        {"name", QStringLiteral("Programme %1 on channel %2").arg(index).arg(channel)},
        {"start_time", start},
        {"end_time", start + 1800},
        {"original_id", 900000 + index},
        {"rating", 6.5 + index % 3},
        {"has_reminder", index % 2 == 0},
        {"age_level", QJsonObject{{"age_value", 12}, {"id", 3}, {"name", "12+"}}},
        {"prices", QJsonArray{QJsonObject{{"price_id", index}, {"amount", 199}, {"type", "full"},
                                          {"duration_unit", "day"}}}},
    };
}

} // namespace

QJsonObject channelsAnswer(int count)
{
    static const char* const usageModels[] = {"EST", "TVOD", "SERVICE", "FREE", ""};
    static const char* const colours[] = {"ff000080", "00ff00", "1a2b3cff", "badcolor"};
    QJsonArray items;
    for (int i = 0; i < count; ++i) {
        QJsonArray epgs;
        for (int p = 0; p < 3; ++p)
            epgs.append(programme(i, p));
        items.append(QJsonObject{
            {"id", 1000 + i},
            {"name", QStringLiteral("Channel %1").arg(i)},
            {"number", i + 1},
            {"poster_bg_color", colours[i % 4]},
            {"is_favorite", i % 3 == 0},
            {"usage_model", usageModels[i % 5]},
            {"subscribe_mode", i % 4},
            {"quality", i % 2 ? "HD" : "4K"},
            {"age_level", QJsonObject{{"age_value", 16}, {"id", 4}, {"name", "16+"}}},
            {"advertising_place_type", QJsonArray{"preroll", "midroll"}},
            {"themes", QJsonArray{1, 2, i}},
            {"unknown_block", QJsonObject{{"nested", QJsonArray{1, "two", QJsonObject{{"x", 3}}}}}},
            {"epgs", epgs},
        });
    }
    return QJsonObject{
        {"items", items},
        {"total_items", count},
        {"applied_filters", QJsonArray{QJsonObject{{"alias", "genre"}, {"name", "Genre"}, {"param", "g"},
                                                   {"type", "multiple"}}}},
        {"applied_sort", QJsonObject{{"alias", "number"}, {"name", "By number"}}},
    };
}

QByteArray channelsAnswerJson(int count)
{
    return QJsonDocument(channelsAnswer(count)).toJson(QJsonDocument::Compact);
}

QByteArray channelsAnswerCbor(int count)
{
    return QCborValue::fromJsonValue(channelsAnswer(count)).toCbor();
}

} // namespace tq::samples

TQ_DEFINE_OBJECT(tq::samples::Price)
TQ_DEFINE_OBJECT(tq::samples::Programme)
TQ_DEFINE_ANSWER(tq::samples::Channel)
TQ_DEFINE_ANSWER(tq::samples::ChannelsResponse)
