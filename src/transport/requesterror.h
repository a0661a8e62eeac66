#pragma once
// The record of a failed request, and the handler chains that deliver it.

#include "tqglobal.h"

#include "model/enums.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QNetworkReply>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>

#include <optional>

namespace tq {

// One entry of an error body's "details".
struct TQ_EXPORT ErrorDetail
{
    ErrorDetailsKey key = ErrorDetailsKey::Unknown;
    QVariant value;
    QString keyName; // the "key" as received
};

class TQ_EXPORT RequestError
{
    Q_GADGET
public:
    enum Reason {
        Unknown = 0,
        InvalidRequest = 1, // decided by the library without an HTTP answer
        HttpClientError = 2,
        HttpServerError = 3,
    };
    Q_ENUM(Reason)

    // The platform's "error_code" values. A name ending in '_' is a second code with
    // the meaning of the name without it.
    enum class TqReason : int {
        Unknown = 0,
        InvalidUserEmail = 1000001,
        IncompatibleAppForAccount = 1000003,
        WrongEmailOrPassword = 1000004,
        WrongConfirmationCode = 1000005,
        ExpiredConfirmationCode = 1000006,
        UnauthorizedUser = 1000007,
        WrongPassword = 1000008,
        UserNotLogged = 1000009,
        PhoneNumberBusy = 1000010,
        TooOftenConfirmationCodeRequests = 1000011,
        AccountRequiredPhoneNumber = 1000012,
        EmailBusy = 1000013,
        ExceededDevicesCountForAccount = 1000014,
        InvalidAccountEmail = 1000015,
        InvalidAccountPhone = 1000016,
        InvalidAccountPassword = 1000017,
        DeviceNotFound = 1000018,
        ForbiddenDeviceType = 1000019,
        UnauthorizedStb = 1000020,
        SessionNotFound = 1000021,
        CanNotDeleteCurrentSession = 1000022,
        UnauthorizedRequest = 1000023,
        UnknownAuthorizationType = 1000024,
        DeviceTypeNotFound = 1000025,
        WrongNumberOrActivationCode = 1000026,
        ProfileNotFound = 1000027,
        EmailAlreadyUsedAtRegistration = 1000028,
        PhoneNumberAlreadyBusy = 1000029,
        IncompatibleAppForAccount_ = 1000030,
        UnknownAuthorizationType_ = 1000031,
        AccountNotFound = 1000032,
        ProfilesCountExceeded = 1000033,
        InvalidPinCode = 1000034,
        ForbiddenToRemoveMasterProfile = 1000035,
        ForbiddenToRemoveChildProfile = 1000036,
        ConfirmationCodeNotFound = 1000037,
        CanNotSendSmsToPhone = 1000038,
        AccountNumberChanged = 1000039,
        InvalidDeviceId = 1000040,
        ServiceUnavailableForGeoLocation = 1000041,
        MrfChanged = 1000042,
        CanNotDeleteDevice = 1000044,
        AvailableOnlyForStb = 1000045,
        AvailableOnlyForPortal = 1000046,
        UnavailableForPortal = 1000047,
        ExpiredConfirmationCode_ = 1000048,
        AccountIsBlocked = 1000049,
        InvalidAccountUsage = 1000050,
        ProfileCreatedForAnotherAccount = 1000051,
        OutdatedAppVersion = 1000052,
        SessionReplacementRequired = 1000053,
        SessionReplacementIsNotRequired = 1000054,
        LoginBusy = 1000055,
        InvalidLoginType = 1000056,
        ActivationNumberAndCodeBusy = 1000057,
        DeviceAlreadyActivatedUseActivationNumber = 1000059,
        ActivationNumberExpected = 1000060,
        QuestionNotFound = 1000061,
        PasswordCanNotBeEmpty = 1000062,
        CanNotMergeAccounts = 1000063,
        UnavailableFunctionalityForAccount = 1000064,
        OttCodeActivationCountExceeded = 1000065,
        OttCodeNotFound = 1000066,
        CanNotActivateOttCode = 1000067,
        OttCodeIsExpired = 1000068,
        OttCodeIsAlreadyActivated = 1000069,
        CanNotActivateServiceForAccount = 1000070,
        CanNotConnectAssistantToThisDeviceType = 1000071,
        CanNotChangeThisPhoneNumber = 1000072,
        PromoNotFound = 1000073,
        PhoneNumberIsBusyForVemoOnline = 1000074,
        EmailIsBusyForVemoOnline = 1000075,
        PhoneNumberIsBusyForVemoMobile = 1000076,
        EmailIsBusyForVemoMobile = 1000077,
        PhoneNumberIsBusyForVemoIptv = 1000078,
        EmailIsBusyForVemoIptv = 1000079,
        CommonActivationError = 1000080,
        AccountNotPersonal = 1000081,
        ConflictMacAddress = 1000082,
        CanNotActivateMultiscreenForMobileOperator = 1000083,
        PhoneNumberIsBlocked = 1000084,
        DailySmsLimitExceeded = 1000085,
        BonusProgramUnableToRegister = 1000089,
        BonusProgramLoginIncorrected = 1000090,
        BonusProgramRegisterFailed = 1000091,
        BonusProgramRegisterWithLoginFailed = 1000092,
        BonusProgramRegisterIsRequestedTooOften = 1000093,
        BonusProgramRegisterRequestLimitExceeded = 1000094,
        BonusProgramConfirmationRequestNotFound = 1000095,
        BonusProgramConfirmationCodeSendFailed = 1000096,
        BonusProgramConfirmationCodeIncorrected = 1000097,
        BonusProgramConfirmationCodeExpired = 1000098,
        BonusProgramConfirmationCodeLimitExceeded = 1000099,
        BonusProgramChangeLoginFailed = 1000100,
        BonusProgramIsUnregistered = 1000101,
        BonusProgramChangeLoginIsRequestedTooOften = 1000102,
        BonusProgramChangeLoginRequestLimitExceeded = 1000103,
        BonusProgramUnableToChangeLogin = 1000104,
        CanvasNotFound = 1000109,
        SubscriptionCancelFailed = 2000001,
        SubscriptionCanceled = 2000002,
        PhoneNumberOrEmailRequired = 2000003,
        PaymentTypeNotSet = 2000004,
        PaymentTypeNotFound = 2000005,
        ChannelNotFound = 2000006,
        PaymentFromLinkedCardUnavailable = 2000007,
        ServiceNotFound = 2000008,
        ServiceAlreadyPurchased = 2000009,
        ContentAlreadyPurchased = 2000010,
        ContentCanNotBePurchasedThisWay = 2000011,
        PurchaseOptionNotFound = 2000012,
        ServiceNotPaid = 2000013,
        ContentOrServiceIdNotSet = 2000014,
        DefultBankCardNotSet = 2000015,
        ProposalForServiceNotFound = 2000016,
        TicketNotFound = 2000017,
        TicketAlreadyConfirmed = 2000018,
        OuterBillingNotFound = 2000019,
        BankCardsLimitExceed = 2000020,
        BankCardNotFound = 2000021,
        BankCardInactive = 2000022,
        OfferNotFound = 2000023,
        PromocodeNotFound = 2000024,
        PromocodeExpired = 2000025,
        PromocodeActivated = 2000026,
        InvalidPromocode = 2000027,
        CanNotGetPaymentStatus = 2000028,
        AccountRefillForbidden = 2000029,
        BankCardCanNotBeAdded = 2000030,
        InvalidReplenishmentAmount = 2000031,
        SomethingWentWrong = 2000033,
        CreditLimit = 2000034,
        InsufficientFunds = 2000035,
        SubscribeDefaultService = 2000036,
        TicketAlreadyAccepted = 2000037,
        PaymentInProcess = 2000038,
        PaymentMethodNotAllowed = 2000039,
        NoLinkedBankCards = 2000040,
        RefillAccountAtOperatorCabinet = 2000041,
        PaymentError = 2000042,
        PurchaseWillBeCanceled = 2000043,
        AvailableOnlyForTransformerSubscription = 2000048,
        ContentIsNotIncludedInTransformerSubscription = 2000049,
        TransformerSubscriptionChangeAvailableNextMonth = 2000050,
        CanNotChangeTransformerSubscription = 2000051,
        PurchaseCountLimitExceeded = 2000052,
        PurchaseOptionNotFound_ = 2000053,
        ContentPurchasedInAnotherAccount = 2000054,
        FailedToCreateJointViewing = 2000055,
        JointViewingIsNotAvailable = 2000056,
        PurchaseNotSetUpYet = 2000057,
        OneTimeSubscriptionCanNotBeDeactivated = 2000058,
        NoActiveSubscriptions = 2000060,
        MediaItemContentNotFound = 3000000,
        UnsupportedContentType = 3000001,
        TimeZoneNotFound = 3000002,
        EpgNotFound = 3000003,
        ContentNotFoundInMyCollection = 3000004,
        ContentAlreadyInMyCollection = 3000005,
        MadiapositionCanNotBeSavedForSeason = 3000006,
        MadiapositionCanNotBeSavedForSeries = 3000007,
        InvalidMediaposition = 3000008,
        MediapositionNotFound = 3000009,
        UnknownContentTypeInMyCollection = 3000010,
        MyColectionIsEmpty = 3000011,
        ReminderNotFound = 3000012,
        ReminderCanNotBeAdded = 3000013,
        ReminderAlreadyExists = 3000014,
        CollectionsTemplateNotFound = 3000015,
        CategoryNotFound = 3000016,
        ServiceTypeNotFound = 3000017,
        ChannelPreviewNotFound = 3000018,
        ViewTemplateNotFound = 3000019,
        RecommendationsForAccountNotFound = 3000020,
        RecommendationsForContentNotFound = 3000021,
        KaraokeContentNotFound = 3000022,
        SortTypeNotFound = 3000024,
        LocationNotFound = 3000026,
        EpgRecordingForbidden = 3000027,
        EpgRecordingNotFound = 3000028,
        EpgAlreadyRecorded = 3000029,
        NotEnoughSpaceForEpgRecording = 3000030,
        TstvNotActivated = 3000031,
        CanNotDeleteNonTestAccount = 3000032,
        PurchaseNotFound = 3000033,
        MessageNotFound = 3000034,
        PurchaseGroupNotFound = 3000035,
        ChangeLocationForbidden = 3000038,
        SettingsNotFound = 3000037,
        ExchangeFilmImpossible = 3000039,
        B2bPlaylistNotFound = 3000040,
        CanNotRateContent = 3000041,
        BadRequest = 5000000,
        ErrorFillingOutForm = 6000000,
        ForbiddenIpAddress = 6000001,
        TooManyRequestsFromNginx = 6000002,
        RequestTimeout = 6000003,
        ClientShutDownConnections = 6000004,
        TooManyRequestsFromReindexer = 6000005,
        ObjectNotFound = 6000006,
        UnknownMediapositionType = 30000023,
        RadioContentNotFound = 30000025,
        UnknownAgeLevelId = 30000036,
    };
    Q_ENUM(TqReason)

    Reason reason = Unknown;
    TqReason tqReason = TqReason::Unknown;
    QNetworkReply::NetworkError networkError = QNetworkReply::NoError;
    MethodType methodType = MethodType::TqApi;
    QString description;
    QString debugMessage;
    QUrl url;
    QString httpMethod;
    QString path;
    QStringList queryItems;
    int errorCode = 0;
    int httpStatusCode = 0; // 0 when there was no HTTP answer
    QList<QPair<QByteArray, QByteArray>> rawHeaders;
    std::optional<qint64> retryAfter; // seconds
    QList<ErrorDetail> details;
    QList<QUrl> redirects;
    QString senderName;

    // "reason: ...; http status code: ...; TQ error code: N (Name); description: '...'; debug message: '...'"
    QString fullInfo() const;

    // Name of a platform error code; "unnamed" for a code the enumeration does not know.
    static QString tqReasonName(TqReason reason);
    static QString reasonName(Reason reason);

    // Only the classification, the transport outcome and the request identity take part.
    friend bool operator==(const RequestError& a, const RequestError& b);
    friend bool operator!=(const RequestError& a, const RequestError& b) { return !(a == b); }
};

// Seen by the host (and the library itself) for every failed request.
class TQ_EXPORT ITqRequestErrorHandler
{
public:
    virtual ~ITqRequestErrorHandler() = default;
    // True when the error has been dealt with and no further handler is to see it.
    virtual bool handleRequestError(qint64 requestId, const RequestError& error) = 0;
};

// Set while the owner of a handler chain (a client, the context) exists.
using Lifetime = std::weak_ptr<const void>;

// Runs a chain from the last handler to the first; stops at the first that returns true.
// Handlers may edit the chain meanwhile (one removed is not asked, one added waits for the
// next error) or destroy any of its `owners`: the walk stops as soon as one has gone, so
// nothing is asked through an object that no longer exists. A handler that throws is logged
// and counts as not having taken the error.
TQ_EXPORT bool runErrorHandlerChain(const QList<ITqRequestErrorHandler*>& chain, qint64 requestId,
                          const RequestError& error, std::initializer_list<Lifetime> owners);

} // namespace tq

Q_DECLARE_METATYPE(tq::RequestError)
