#include "model/menus.h"

#include "model/fieldcodec_p.h"
#include "platform/logging.h"

#include <QMap>

#include <algorithm>

namespace tq {

void TargetForMenu::fromJson(const QJsonObject& json)
{
    DecodedObject::fromJson(json);
    setValid(!type.isEmpty());
}

namespace {

// The paths the box can open: a target type, then for some types a second name from its
// link. A type with names below it is not itself a complete path.
const QMap<QString, QStringList>& supportedTargets()
{
    static const QMap<QString, QStringList> tree = [] {
        const QStringList screens{
            "account_refill", "account_summary", "activate_promocode", "bonuses", "certificates", "collections",
            "diagnostics", "edit_pin_code", "faq", "files", "messages", "my", "my_collection", "my_devices",
            "multiscreen", "offer", "parent_control", "payment_history", "profiles", "radio", "recom_cold_start",
            "recom_player", "reminders", "search", "services", "settings", "settings/account_settings",
            "settings/activate_otttv", "settings/check_update", "settings/system_settings",
            "settings/voice_assistant", "support", "system_info", "watch_history"};
        const QStringList leaves{"app_link", "b2b_media_view", "blank", "channels", "channel", "collection",
                                 "collections", "external", "faq_question", "faq_section", "karaoke_items",
                                 "logout", "media_items", "media_view", "pstv_game", "program", "service",
                                 "services", "tv", "tv_player", "qa_program"};
        QMap<QString, QStringList> paths;
        paths.insert("screen", screens);
        paths.insert("media_item", {"film", "episode", "season", "series"});
        paths.insert("player", {"episode", "film", "karaoke_item"});
        for (const QString& leaf : leaves)
            paths.insert(leaf, {});
        for (QStringList& children : paths)
            children.sort();
        return paths;
    }();
    return tree;
}

} // namespace

bool isTargetSupported(const TargetForMenu& target)
{
    QStringList path{target.type};
    for (const QString* name : {&target.link.screenName, &target.link.contentType, &target.link.mediaItemType}) {
        if (!name->isEmpty()) {
            path.append(*name);
            break;
        }
    }
    const auto& tree = supportedTargets();
    const auto node = tree.constFind(path.first());
    if (node != tree.constEnd()) {
        if (path.size() == 1 ? node->isEmpty() : std::binary_search(node->begin(), node->end(), path.last()))
            return true;
    }
    TQ_LOG(logging::Warning, QStringLiteral("TqHelpers")) << "isTargetSupported" << "not supported target type:" << path;
    return false;
}

TQ_DEFINE_OBJECT(TargetLinkFilter)
TQ_DEFINE_OBJECT(TargetLink)
TQ_DEFINE_OBJECT(TargetForMenu)
TQ_DEFINE_OBJECT(MenuItemUserBrief)
TQ_DEFINE_ANSWER(Menu)
TQ_DEFINE_OBJECT(AdPixel)
TQ_DEFINE_OBJECT(AdvertiserInfo)
TQ_DEFINE_OBJECT(BannerBrief)
TQ_DEFINE_OBJECT(ContentInfo)

} // namespace tq
