// The platform's texts as the platform writes them: the enumerations' wire strings, the
// error codes and their names in the error record's summary, the HTTP reason phrases and
// the menu targets the box can open. Every expected value is written out here.

#include "wiretable.h"

#include "transport/request.h"
#include "transport/requesterror.h"
#include "model/menus.h"
#include "platform/logging.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QtTest>

using namespace tq;
using fake::WireTable;

using Check = std::function<void()>;
Q_DECLARE_METATYPE(Check)

namespace {

// The platform's error codes: name and value.
const char* const platformErrorCodes =
    "Unknown 0; InvalidUserEmail 1000001; IncompatibleAppForAccount 1000003; WrongEmailOrPassword 1000004; "
    "WrongConfirmationCode 1000005; ExpiredConfirmationCode 1000006; UnauthorizedUser 1000007; "
    "WrongPassword 1000008; UserNotLogged 1000009; PhoneNumberBusy 1000010; "
    "TooOftenConfirmationCodeRequests 1000011; AccountRequiredPhoneNumber 1000012; EmailBusy 1000013; "
    "ExceededDevicesCountForAccount 1000014; InvalidAccountEmail 1000015; InvalidAccountPhone 1000016; "
    "InvalidAccountPassword 1000017; DeviceNotFound 1000018; ForbiddenDeviceType 1000019; "
    "UnauthorizedStb 1000020; SessionNotFound 1000021; CanNotDeleteCurrentSession 1000022; "
    "UnauthorizedRequest 1000023; UnknownAuthorizationType 1000024; DeviceTypeNotFound 1000025; "
    "WrongNumberOrActivationCode 1000026; ProfileNotFound 1000027; EmailAlreadyUsedAtRegistration 1000028; "
    "PhoneNumberAlreadyBusy 1000029; IncompatibleAppForAccount_ 1000030; UnknownAuthorizationType_ 1000031; "
    "AccountNotFound 1000032; ProfilesCountExceeded 1000033; InvalidPinCode 1000034; "
    "ForbiddenToRemoveMasterProfile 1000035; ForbiddenToRemoveChildProfile 1000036; "
    "ConfirmationCodeNotFound 1000037; CanNotSendSmsToPhone 1000038; AccountNumberChanged 1000039; "
    "InvalidDeviceId 1000040; ServiceUnavailableForGeoLocation 1000041; MrfChanged 1000042; "
    "CanNotDeleteDevice 1000044; AvailableOnlyForStb 1000045; AvailableOnlyForPortal 1000046; "
    "UnavailableForPortal 1000047; ExpiredConfirmationCode_ 1000048; AccountIsBlocked 1000049; "
    "InvalidAccountUsage 1000050; ProfileCreatedForAnotherAccount 1000051; OutdatedAppVersion 1000052; "
    "SessionReplacementRequired 1000053; SessionReplacementIsNotRequired 1000054; LoginBusy 1000055; "
    "InvalidLoginType 1000056; ActivationNumberAndCodeBusy 1000057; "
    "DeviceAlreadyActivatedUseActivationNumber 1000059; ActivationNumberExpected 1000060; "
    "QuestionNotFound 1000061; PasswordCanNotBeEmpty 1000062; CanNotMergeAccounts 1000063; "
    "UnavailableFunctionalityForAccount 1000064; OttCodeActivationCountExceeded 1000065; "
    "OttCodeNotFound 1000066; CanNotActivateOttCode 1000067; OttCodeIsExpired 1000068; "
    "OttCodeIsAlreadyActivated 1000069; CanNotActivateServiceForAccount 1000070; "
    "CanNotConnectAssistantToThisDeviceType 1000071; CanNotChangeThisPhoneNumber 1000072; "
    "PromoNotFound 1000073; PhoneNumberIsBusyForVemoOnline 1000074; EmailIsBusyForVemoOnline 1000075; "
    "PhoneNumberIsBusyForVemoMobile 1000076; EmailIsBusyForVemoMobile 1000077; "
    "PhoneNumberIsBusyForVemoIptv 1000078; EmailIsBusyForVemoIptv 1000079; CommonActivationError 1000080; "
    "AccountNotPersonal 1000081; ConflictMacAddress 1000082; "
    "CanNotActivateMultiscreenForMobileOperator 1000083; PhoneNumberIsBlocked 1000084; "
    "DailySmsLimitExceeded 1000085; BonusProgramUnableToRegister 1000089; "
    "BonusProgramLoginIncorrected 1000090; BonusProgramRegisterFailed 1000091; "
    "BonusProgramRegisterWithLoginFailed 1000092; BonusProgramRegisterIsRequestedTooOften 1000093; "
    "BonusProgramRegisterRequestLimitExceeded 1000094; BonusProgramConfirmationRequestNotFound 1000095; "
    "BonusProgramConfirmationCodeSendFailed 1000096; BonusProgramConfirmationCodeIncorrected 1000097; "
    "BonusProgramConfirmationCodeExpired 1000098; BonusProgramConfirmationCodeLimitExceeded 1000099; "
    "BonusProgramChangeLoginFailed 1000100; BonusProgramIsUnregistered 1000101; "
    "BonusProgramChangeLoginIsRequestedTooOften 1000102; BonusProgramChangeLoginRequestLimitExceeded 1000103; "
    "BonusProgramUnableToChangeLogin 1000104; CanvasNotFound 1000109; SubscriptionCancelFailed 2000001; "
    "SubscriptionCanceled 2000002; PhoneNumberOrEmailRequired 2000003; PaymentTypeNotSet 2000004; "
    "PaymentTypeNotFound 2000005; ChannelNotFound 2000006; PaymentFromLinkedCardUnavailable 2000007; "
    "ServiceNotFound 2000008; ServiceAlreadyPurchased 2000009; ContentAlreadyPurchased 2000010; "
    "ContentCanNotBePurchasedThisWay 2000011; PurchaseOptionNotFound 2000012; ServiceNotPaid 2000013; "
    "ContentOrServiceIdNotSet 2000014; DefultBankCardNotSet 2000015; ProposalForServiceNotFound 2000016; "
    "TicketNotFound 2000017; TicketAlreadyConfirmed 2000018; OuterBillingNotFound 2000019; "
    "BankCardsLimitExceed 2000020; BankCardNotFound 2000021; BankCardInactive 2000022; OfferNotFound 2000023; "
    "PromocodeNotFound 2000024; PromocodeExpired 2000025; PromocodeActivated 2000026; "
    "InvalidPromocode 2000027; CanNotGetPaymentStatus 2000028; AccountRefillForbidden 2000029; "
    "BankCardCanNotBeAdded 2000030; InvalidReplenishmentAmount 2000031; SomethingWentWrong 2000033; "
    "CreditLimit 2000034; InsufficientFunds 2000035; SubscribeDefaultService 2000036; "
    "TicketAlreadyAccepted 2000037; PaymentInProcess 2000038; PaymentMethodNotAllowed 2000039; "
    "NoLinkedBankCards 2000040; RefillAccountAtOperatorCabinet 2000041; PaymentError 2000042; "
    "PurchaseWillBeCanceled 2000043; AvailableOnlyForTransformerSubscription 2000048; "
    "ContentIsNotIncludedInTransformerSubscription 2000049; "
    "TransformerSubscriptionChangeAvailableNextMonth 2000050; CanNotChangeTransformerSubscription 2000051; "
    "PurchaseCountLimitExceeded 2000052; PurchaseOptionNotFound_ 2000053; "
    "ContentPurchasedInAnotherAccount 2000054; FailedToCreateJointViewing 2000055; "
    "JointViewingIsNotAvailable 2000056; PurchaseNotSetUpYet 2000057; "
    "OneTimeSubscriptionCanNotBeDeactivated 2000058; NoActiveSubscriptions 2000060; "
    "MediaItemContentNotFound 3000000; UnsupportedContentType 3000001; TimeZoneNotFound 3000002; "
    "EpgNotFound 3000003; ContentNotFoundInMyCollection 3000004; ContentAlreadyInMyCollection 3000005; "
    "MadiapositionCanNotBeSavedForSeason 3000006; MadiapositionCanNotBeSavedForSeries 3000007; "
    "InvalidMediaposition 3000008; MediapositionNotFound 3000009; UnknownContentTypeInMyCollection 3000010; "
    "MyColectionIsEmpty 3000011; ReminderNotFound 3000012; ReminderCanNotBeAdded 3000013; "
    "ReminderAlreadyExists 3000014; CollectionsTemplateNotFound 3000015; CategoryNotFound 3000016; "
    "ServiceTypeNotFound 3000017; ChannelPreviewNotFound 3000018; ViewTemplateNotFound 3000019; "
    "RecommendationsForAccountNotFound 3000020; RecommendationsForContentNotFound 3000021; "
    "KaraokeContentNotFound 3000022; SortTypeNotFound 3000024; LocationNotFound 3000026; "
    "EpgRecordingForbidden 3000027; EpgRecordingNotFound 3000028; EpgAlreadyRecorded 3000029; "
    "NotEnoughSpaceForEpgRecording 3000030; TstvNotActivated 3000031; CanNotDeleteNonTestAccount 3000032; "
    "PurchaseNotFound 3000033; MessageNotFound 3000034; PurchaseGroupNotFound 3000035; "
    "ChangeLocationForbidden 3000038; SettingsNotFound 3000037; ExchangeFilmImpossible 3000039; "
    "B2bPlaylistNotFound 3000040; CanNotRateContent 3000041; BadRequest 5000000; ErrorFillingOutForm 6000000; "
    "ForbiddenIpAddress 6000001; TooManyRequestsFromNginx 6000002; RequestTimeout 6000003; "
    "ClientShutDownConnections 6000004; TooManyRequestsFromReindexer 6000005; ObjectNotFound 6000006; "
    "UnknownMediapositionType 30000023; RadioContentNotFound 30000025; UnknownAgeLevelId 30000036";

const std::pair<int, const char*> phraseTable[] = {
    {100, "Continue"}, {101, "Switching Protocols"}, {102, "Processing"}, {103, "Early Hints"}, {200, "OK"},
    {201, "Created"}, {202, "Accepted"}, {203, "Non-Authoritative Information"}, {204, "No Content"},
    {205, "Reset Content"}, {206, "Partial Content"}, {207, "Multi-Status"}, {208, "Already Reported"},
    {226, "IM Used"}, {300, "Multiple Choices"}, {301, "Moved Permanently"}, {302, "Found"}, {303, "See Other"},
    {304, "Not Modified"}, {305, "Use Proxy"}, {307, "Temporary Redirect"}, {308, "Permanent Redirect"},
    {400, "Bad Request"}, {401, "Unauthorized"}, {402, "Payment Required"}, {403, "Forbidden"},
    {404, "Not Found"}, {405, "Method Not Allowed"}, {406, "Not Acceptable"},
    {407, "Proxy Authentication Required"}, {408, "Request Timeout"}, {409, "Conflict"}, {410, "Gone"},
    {411, "Length Required"}, {412, "Precondition Failed"}, {413, "Payload Too Large"}, {414, "URI Too Long"},
    {415, "Unsupported Media Type"}, {416, "Range Not Satisfiable"}, {417, "Expectation Failed"},
    {418, "I'm a teapot"}, {419, "Authentication Timeout (not in RFC 2616)"}, {421, "Misdirected Request"},
    {422, "Unprocessable Entity"}, {423, "Locked"}, {424, "Failed Dependency"}, {426, "Upgrade Required"},
    {428, "Precondition Required"}, {429, "Too Many Requests"}, {431, "Request Header Fields Too Large"},
    {449, "Retry With"}, {451, "Unavailable For Legal Reasons"}, {452, "Bad sended request"},
    {499, "Client Closed Request"}, {500, "Internal Server Error"}, {501, "Not Implemented"},
    {502, "Bad Gateway"}, {503, "Service Unavailable"}, {504, "Gateway Time-out"},
    {505, "HTTP Version Not Supported"}, {506, "Variant Also Negotiates"}, {507, "Insufficient Storage"},
    {508, "Loop Detected"}, {509, "Bandwidth Limit Exceeded"}, {510, "Not Extended"},
    {511, "Network Authentication Required"}, {520, "Unknown Error"}, {521, "Web Server Is Down"},
    {522, "Connection Timed Out "}, {523, "Origin Is Unreachable"}, {524, "A Timeout Occurred"},
    {525, "SSL Handshake Failed"}, {526, "Invalid SSL Certificate"}};

// The targets the box can open: a type alone, or a type and one name from its link.
const QStringList screenNames{
    "account_refill", "account_summary", "activate_promocode", "bonuses", "certificates", "collections",
    "diagnostics", "edit_pin_code", "faq", "files", "messages", "my", "my_collection", "my_devices", "multiscreen",
    "offer", "parent_control", "payment_history", "profiles", "radio", "recom_cold_start", "recom_player",
    "reminders", "search", "services", "settings", "settings/account_settings", "settings/activate_otttv",
    "settings/check_update", "settings/system_settings", "settings/voice_assistant", "support", "system_info",
    "watch_history"};
const QStringList mediaItemNames{"film", "episode", "season", "series"};
const QStringList playerNames{"episode", "film", "karaoke_item"};
const QStringList leafTypes{"app_link", "b2b_media_view", "blank", "channels", "channel", "collection", "collections",
                            "external", "faq_question", "faq_section", "karaoke_items", "logout", "media_items",
                            "media_view", "pstv_game", "program", "service", "services", "tv", "tv_player",
                            "qa_program"};

QSet<QString> supportedPaths()
{
    QSet<QString> paths(leafTypes.cbegin(), leafTypes.cend());
    for (const QString& name : screenNames)
        paths.insert("screen|" + name);
    for (const QString& name : mediaItemNames)
        paths.insert("media_item|" + name);
    for (const QString& name : playerNames)
        paths.insert("player|" + name);
    return paths;
}

TargetForMenu target(const QString& type, const QString& screenName, const QString& contentType = {},
                     const QString& mediaItemType = {})
{
    TargetForMenu t;
    t.type = type;
    t.link.screenName = screenName;
    t.link.contentType = contentType;
    t.link.mediaItemType = mediaItemType;
    return t;
}

} // namespace

class TestWireTexts : public QObject
{
    Q_OBJECT

private slots:
    void enumerations_data()
    {
        QTest::addColumn<Check>("check");
        const auto row = [](const auto& dictionary, const WireTable& table, const QList<int>& without,
                            int unknown = 0) {
            using E = std::decay_t<decltype(dictionary.value(QString()))>;
            QTest::newRow(QMetaEnum::fromType<E>().name())
                << Check([&dictionary, table, without, unknown] { fake::checkWireTable(dictionary, table, without, unknown); });
        };
        row(autopaymentStatusKeysDictionary(), {{"enabled", 1}, {"disabled", 2}, {"external_billing", 3}}, {0});
        row(errorDetailsKeysDictionary(), {{"balance", 1}, {"refill_amount", 2}, {"media_view_alias", 3}}, {0});
        row(mediaItemsDictionary(), {{"film", 1}, {"series", 2}, {"season", 3}, {"episode", 4}}, {0});
        row(mediaFileTypesDictionary(), {{"image", 1}, {"video", 2}}, {0});
        row(profileTypesDictionary(), {{"master", 1}, {"child", 2}, {"default", 3}, {"btb_hotel_guest", 4}}, {0});
        row(purchaseStatusDictionary(), {{"successful", 1}, {"rejected", 2}, {"processing", 3}, {"error", 4},
            {"wait_payment", 5}}, {0});
        row(purchaseTypesDictionary(), {{"media_item", 2}, {"service", 1}, {"account_refill", 3}}, {0});
        row(sessionStateDictionary(), {{"normal", 1}, {"unauthorized", 2}, {"restricted", 3}, {"demo", 4}}, {0});
        row(qualityTypesDictionary(), {{"SD", 1}, {"HD", 2}, {"3D", 3}, {"4K", 4}}, {0});
        row(paymentTypesDictionary(), {{"account_refill", 1}, {"purchase", 2}, {"card_bind", 3}}, {0});
        row(ticketStatusDictionary(), {{"undefined", 0}, {"new", 1}, {"wait_payment", 2}, {"processing", 3},
            {"successful", 4}, {"rejected", 5}, {"error", 6}}, {});
        row(paymentMethodDictionary(), {{"account_prepaid", 0}, {"account_credit", 1}, {"external_url", 2},
            {"linked_card", 3}, {"any_card", 4}, {"bonus", 5}}, {6}, 6);
        row(broadCastTypesDictionary(), {{"iptv", 1}, {"ott", 2}}, {0});
        row(checkLoginActionDictionary(), {{"auth", 1}, {"register", 2}, {"add_email", 3}, {"change_email", 4},
            {"add_phone", 5}, {"change_phone", 6}, {"add_login", 7}}, {0});
        row(requestActionDictionary(), {{"auth", 1}, {"register", 2}, {"edit_settings", 3}, {"change_password", 4},
            {"reset_password", 5}, {"add_email", 6}, {"change_email", 7}, {"delete_email", 8}, {"add_phone", 9},
            {"change_phone", 10}, {"delete_phone", 11}, {"add_login", 12}, {"merge_accounts", 13},
            {"reset_pin", 14}}, {0});
        row(availableActionDictionary(), {{"change_password", 1}, {"reset_password", 2}, {"add_email", 3},
            {"change_email", 4}, {"delete_email", 5}, {"add_phone", 6}, {"change_phone", 7}, {"delete_phone", 8},
            {"view_offer", 9}, {"use_ott_tv_code", 10}, {"promo_code_activate", 11}, {"set_location", 12}}, {0, 13});
        row(contentItemType(), {{"media_item", 1}, {"channel", 2}, {"karaoke_item", 3}, {"epg", 4}, {"service", 5},
            {"collection", 6}}, {0});
        row(npvrDictionary(), {{"archived", 1}, {"scheduled", 2}}, {0});
        row(usageModelsDictionary(), {{"UNKNOWN", 0}, {"EST", 1}, {"TVOD", 2}, {"AVOD", 3}, {"SERVICE", 4},
            {"FREE", 5}, {"", 6}}, {});
        row(serviceTypesDictionary(), {{"CHANNELPACKAGE", 1}, {"VODABONEMENT", 2}, {"KARAOKEABONEMENT", 3},
            {"BUNDLE", 4}, {"TIRUCQUOTA", 5}, {"TSTV", 6}, {"ALLINCLUSIVE", 7}}, {0});
        row(loginModeDictionary(), {{"register", 1}, {"authorize", 2}, {"add", 3}, {"merge", 4}, {"change", 5}}, {0});
        row(loginTypeDictionary(), {{"activation_number", 1}, {"auth_code", 2}, {"email", 3}, {"email_legacy", 4},
            {"ott_tv_code", 5}, {"phone", 6}}, {0});
        row(dictionarySectionType(), {{"films_genres", 1}, {"series_genres", 2}, {"channels_themes", 3},
            {"karaoke_genres", 4}, {"child_genres", 5}}, {0});
        row(b2bTypesDictionary(), {{"b2c", 1}, {"hotel", 2}, {"legal", 3}, {"public", 4}, {"corp", 5}}, {0});
        row(accountStatusTypesDictionary(), {{"ACTIVE", 1}, {"NOTACTIVE", 2}, {"BLOCKED", 3}, {"CLOSED", 4},
            {"DELETED", 5}, {"CHECKOUT", 6}, {"EMPTY", 7}}, {0});
        row(blockingReasonTypesDictionary(), {{"FINBLOCK", 1}, {"VOLUNTARY", 2}, {"MOVING", 3}, {"NOREASON", 4},
            {"FRAUD", 5}}, {0});
        row(displayTypeDictionary(), {{"block", 1}, {"list", 2}}, {0});
        row(voiceAssistCommandTypeDictionary(), {{"channel", 1}, {"focus", 2}, {"media_item", 3}, {"off", 4},
            {"on", 5}, {"playback", 6}, {"program", 7}, {"screen", 8}, {"search", 9}, {"volume", 10}}, {0});
        row(voiceAssistChannelCommandTypeDictionary(), {{"set", 1}, {"up", 2}, {"down", 3}}, {0});
        row(voiceAssistFocusCommandTypeDictionary(), {{"back", 1}, {"down", 2}, {"left", 3}, {"right", 4},
            {"up", 5}}, {0});
        row(voiceAssistMediaItemActionTypeDictionary(), {{"episode_down", 1}, {"episode_up", 2}, {"set", 3}}, {0});
        row(voiceAssistMediaItemTypeDictionary(), {{"film", 1}, {"series", 2}}, {0});
        row(voiceAssistVolumeCommandTypeDictionary(), {{"set", 1}, {"up", 2}, {"down", 3}, {"mute", 4},
            {"unmute", 5}}, {0});
        row(voiceAssistPlaybackCommandTypeDictionary(), {{"pause", 1}, {"play", 2}, {"forward", 3}, {"backward", 4},
            {"start", 5}, {"set_position", 6}}, {0});
        row(voiceAssistProgramCommandTypeDictionary(), {{"down", 1}, {"up", 2}}, {0});
        row(voiceAssistScreenCommandTypeDictionary(), {{"target", 1}}, {0});
        row(messageStatusDictionary(), {{"delivered", 1}, {"shown", 2}, {"clicked", 3}}, {0});
        row(messageTypeDictionary(), {{"message", 1}, {"poll", 2}}, {0});
        row(deliveryTypeDictionary(), {{"messages", 1}, {"websocket", 2}}, {0});
        row(NotificationDisplayTypeDictionary(), {{"popup", 2}, {"panel", 1}}, {0});
        row(NotificationPopupTypeDictionary(), {{"success", 2}, {"message", 1}}, {0});
        row(imageOrientationDictionary(), {{"landscape", 1}, {"portrait", 2}}, {0});
        row(systemSettingsTypeDictionary(), {{"audio_downmix", 1}, {"audio_level", 2}, {"audio_mute", 3},
            {"font_size", 4}, {"rcu_layout", 5}, {"ui_resolution", 6}, {"video_outputs", 7}}, {0});
        row(fontSizeTypeDictionary(), {{"big", 1}, {"normal", 2}}, {0});
        row(durationUnitDictionary(), {{"second", 1}, {"hour", 2}, {"day", 4}, {"month", 5}, {"year", 6}}, {0, 3});
        row(priceTypeDictionary(), {{"full", 1}, {"one_time", 2}, {"trial", 3}, {"discount", 4}, {"intro", 5},
            {"bonus", 6}, {"promocode", 7}}, {0});
        row(actionTypeDictionary(), {{"purchase", 1}, {"purchase_variants", 2}, {"avod_purchase_variants", 3},
            {"watch", 4}, {"watch_preview", 5}, {"joint_viewing", 6}, {"unsubscribe", 7}, {"cancel_request", 8},
            {"vod_certificate", 9}}, {0});
        row(serviceStatusDictionary(), {{"subscribed", 1}, {"subscribed_in_external_billing", 2},
            {"subscribe_requested", 3}, {"unsubscribe_requested", 4}, {"subscribe_processing", 5},
            {"unsubscribe_processing", 6}, {"cancel_subscribe_requested", 7},
            {"cancel_unsubscribe_requested", 8}}, {0});
        row(certificateStatusDictionary(), {{"new", 1}, {"published", 2}}, {0});
        row(bannerSizeDictionary(), {{"small", 1}, {"medium", 2}, {"large", 3}, {"stretching", 4}}, {0, 5, 6, 7});
        row(logoSizeDictionary(), {{"small", 1}, {"medium", 2}, {"large", 3}}, {0});
        row(deviceStatusDictionary(), {{"on", 1}, {"off", 2}, {"active", 3}}, {0});
        row(bonusProgramActionDictionary(), {{"register", 1}, {"unregister", 2}, {"change_login", 3},
            {"use_custom_login", 4}}, {0});
        row(bonusProgramStatusDictionary(), {{"not_registered", 1}, {"need_confirm", 2}, {"processing", 3},
            {"registered", 4}}, {0});
        row(bonusProgramLoginTypeDictionary(), {{"phone", 1}, {"email", 2}}, {0});
        row(myMovieCategoryTypeDictionary(), {{"favourites", 1}, {"channels", 2}, {"films", 3}, {"serials", 4},
            {"for_kids", 5}, {"free", 6}}, {0});
        row(skippableFragmentTypeDictionary(), {{"intro", 1}, {"credits", 2}, {"flashback", 3}}, {0});
        row(skippableFragmentActionDictionary(), {{"show_skip_intro_button", 1}, {"show_skip_flashback_button", 2},
            {"show_skip_credits_button", 3}, {"show_next_episode_button", 4}, {"show_recom_media_view", 5}}, {0});
        row(mediaPositionActionDictionary(), {{"play", 1}, {"pause", 2}, {"rewind", 3}, {"exit", 4}, {"stop", 5},
            {"transfer", 6}, {"mini_player", 7}, {"auto", 8}}, {0});
    }

    void enumerations()
    {
        QFETCH(Check, check);
        check();
    }

    // Sent as a number: 0, 1 and 2 are members, anything else is Unknown (3).
    void subscribeMode()
    {
        const auto& dictionary = subscribeModeDictionary();
        QCOMPARE(dictionary.size(), 3);
        for (int number : {0, 1, 2}) {
            QCOMPARE(int(dictionary.value(number)), number);
            QCOMPARE(dictionary.key(SubscribeMode(number)), number);
        }
        for (int number : {-1, 3, 7})
            QCOMPARE(dictionary.value(number), SubscribeMode::Unknown);
        QCOMPARE(int(SubscribeMode::Unknown), 3);
    }

    // Each code by value, through the error record's summary, which names it.
    void errorCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        const QStringList entries = QString::fromLatin1(platformErrorCodes).split(QStringLiteral("; "));
        QCOMPARE(entries.size(), 204);
        QCOMPARE(QMetaEnum::fromType<RequestError::TqReason>().keyCount(), 204); // and no other
        for (const QString& entry : entries) {
            const QString name = entry.section(QLatin1Char(' '), 0, 0);
            QTest::newRow(qPrintable(name)) << entry.section(QLatin1Char(' '), 1, 1).toInt() << name;
        }
    }

    void errorCodes()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        RequestError error;
        error.reason = RequestError::HttpClientError;
        error.httpStatusCode = 400;
        error.tqReason = RequestError::TqReason(code);
        error.errorCode = code;
        error.description = QStringLiteral("what");
        error.debugMessage = QStringLiteral("why");
        QCOMPARE(error.fullInfo(), QStringLiteral("reason: HttpClientError; http status code: 400; TQ error code: %1 (%2); "
                                                  "description: 'what'; debug message: 'why'")
                                       .arg(code)
                                       .arg(name));
    }

    void summary_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("info");
        QTest::newRow("default") << 0 << 0
                                 << "reason: Unknown; http status code: undefined; TQ error code: 0 (Unknown); "
                                    "description: ''; debug message: ''";
        QTest::newRow("refused") << 1 << -1
                                 << "reason: InvalidRequest; http status code: undefined; TQ error code: 0 (Unknown); "
                                    "description: ''; debug message: ''";
        QTest::newRow("server") << 3 << 1
                                << "reason: HttpServerError; http status code: 1; TQ error code: 0 (Unknown); "
                                   "description: ''; debug message: ''";
    }

    void summary()
    {
        QFETCH(int, reason);
        QFETCH(int, status);
        QFETCH(QString, info);
        RequestError error;
        error.reason = RequestError::Reason(reason);
        error.httpStatusCode = status;
        QCOMPARE(error.fullInfo(), info);
    }

    // Every code from below the table to beyond it: listed ones have their phrase, others "Unknown".
    void reasonPhrases()
    {
        QHash<int, QString> phrases;
        for (const auto& [code, phrase] : phraseTable)
            phrases.insert(code, QString::fromLatin1(phrase));
        QCOMPARE(phrases.size(), 73);
        for (int code = -1; code <= 600; ++code)
            QCOMPARE(httpReasonPhrase(code), phrases.value(code, QStringLiteral("Unknown")));
    }

    // Every type against every second name of the table (and a few others): supported
    // exactly when the pair, or the type alone, is listed.
    void menuTargets()
    {
        const QSet<QString> supported = supportedPaths();
        QCOMPARE(supported.size(), 62);
        const QStringList types = QStringList{"screen", "media_item", "player", "Screen", "film", "games"} + leafTypes;
        const QStringList names = QStringList{"", "Search", "games"} + screenNames + mediaItemNames + playerNames + leafTypes;
        const logging::Level saved = logging::logLevel();
        const auto restore = qScopeGuard([saved] { logging::setLogLevel(saved); });
        logging::setLogLevel(1); // a refusal logs a warning; a thousand of them say nothing here
        for (const QString& type : types) {
            for (const QString& name : names) {
                const QString path = name.isEmpty() ? type : type + "|" + name;
                QVERIFY2(isTargetSupported(target(type, name)) == supported.contains(path), qPrintable(path));
            }
        }
    }

    // The second name is the first non-empty of screen name, content type and media item type.
    void menuTargetSecondName_data()
    {
        QTest::addColumn<QStringList>("typeAndLink"); // type, screen name, content type, media item type
        QTest::addColumn<bool>("supported");
        QTest::newRow("media item type") << QStringList{"media_item", "", "", "film"} << true;
        QTest::newRow("content type before it") << QStringList{"media_item", "", "media_item", "film"} << false;
        QTest::newRow("screen name before both") << QStringList{"screen", "search", "channel", "film"} << true;
        QTest::newRow("content type alone") << QStringList{"player", "", "karaoke_item", ""} << true;
    }

    void menuTargetSecondName()
    {
        QFETCH(QStringList, typeAndLink);
        QFETCH(bool, supported);
        if (!supported)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^\\[2\\] TqHelpers: isTargetSupported not supported "
                                                                  "target type: .*media_item.*media_item"));
        QCOMPARE(isTargetSupported(target(typeAndLink[0], typeAndLink[1], typeAndLink[2], typeAndLink[3])), supported);
    }
};

QTEST_GUILESS_MAIN(TestWireTexts)
#include "tst_wiretexts.moc"
