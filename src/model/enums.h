#pragma once
// The tq namespace's meta-object. moc gives a namespace exactly one staticMetaObject,
// so every enumeration declared at tq namespace level lives in this header; their
// names are then available by reflection (logs, QVariant conversion).

#include <QObject>

namespace tq {
Q_NAMESPACE

// The kind of a request; selects the backend that composes and judges it.
enum class MethodType : int {
    AdBannerAudit = 0,
    AdStreamApi = 1,
    AdStreamAudit = 2,
    StaticDataApi = 3,
    StaticDataImage = 4,
    FirmwareFile = 5,
    GeneralRequest = 6,
    GetShopAdApi = 7,
    GetShopAdAudit = 8,
    GetShopApi = 9,
    GetShopAudit = 10,
    GetShopImage = 11,
    GetShopTextPlain = 12,
    MediascopeApi = 13,
    TqAnalytics = 14,
    TqApi = 15,
    TqDiscover = 16,
    TqImage = 17,
    PartyStationApi = 18,
    PartyStationImage = 19,
    PaymentServiceApi = 20,
    RdmApi = 21,
    ReleaseNotesHtml = 22,
    ReleaseNotesImage = 23,
    Scte35Nsc = 24,
    Scte35NscAudit = 25,
    Scte35PostMedia = 26,
    Scte35PostMediaAudit = 27,
    SytApi = 28,
    SytStatus = 29,
    ThumbnailsApi = 30,
    ThumbnailsImage = 31,
    VemoServicesAvailability = 32,
};
Q_ENUM_NS(MethodType)
constexpr int MethodTypeCount = 33;

// What a platform request is for, as far as the session logic cares.
enum class MethodSpecializaton : int {
    Unknown = 0,
    Content = 1,
    Dictionary = 2,
    NewSession = 3,
    Settings = 4,
};
Q_ENUM_NS(MethodSpecializaton)

// Keys of the "details" entries of a platform error body.
enum class ErrorDetailsKey : int {
    Unknown = 0,
    Balance = 1,
    RefillAmount = 2,
    MediaViewAlias = 3,
};
Q_ENUM_NS(ErrorDetailsKey)


} // namespace tq
