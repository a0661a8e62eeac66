#pragma once
// Payment service: binding a bank card and paying with it. Each request is sent to the
// absolute address the host gives it; an answer whose "reqStatus" is not 0 arrives as a
// RequestError (errorCode = "reqStatus", description "reqUserNote", debug message
// "reqNote"), which convertErrorToString turns into a message for the viewer.

#include "tqglobal.h"

#include "model/fields.h"
#include "transport/requestkit.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>

namespace ps {

enum class EsppPaymentStatus : int {
    Unknown = -1,
    ErrorOccurred = -2,
    WaitingForCode = 101,
    Accepting = 102,
    Abandoning = 103,
    Accepted = 2,
    Abandoned = 3,
    Denied = 4,
};

enum class PaymentStatus : int {
    Unknown = -1000,
    ErrorOccurred = -1001,
    Denied = -1,
    Authorizing = 0,
    Authorized = 1,
    Accepting = 2,
    Accepted = 3,
    Abandoning = 4,
    Abandoned = 5,
};

enum class ErrorType : int {
    Unknown = -1000,
    Success = 0,
    Busy = -1,
    AccessDenied = -2,
    BadRequest = -3,
    BadFormat = -4,
    BadCurrency = -5,
    BadCardFormat = -6,
    RequestDenied = -15,
    AbandonDenied = -23,
    PaymentNotFound = 1,
    Denied = 2,
    BadCardNumber = 100,
    InsufficientMoney = 101,
    CardExpired = 102,
    BadCardholder = 103,
    LimitsExceeded = 104,
    Unauthorized = 105,
    Antifraud = 106,
    ThreeDSRequired = 107,
    AcquirerDiscard = 108,
    EmitentDiscard = 109,
    ConnectFailed = 110,
};

class TQ_EXPORT PaymentResponse : public tq::DecodedObject<PaymentResponse>
{
    TQ_DECODED(PaymentResponse)
public:
    int payStatus = 0; // a PaymentStatus
    int reqStatus = 0; // an ErrorType
    QString reqNote;
    QString reqUserNote;
    static constexpr auto fields()
    {
        using P = PaymentResponse;
        return std::make_tuple(tq::field("payStatus", &P::payStatus), tq::field("reqStatus", &P::reqStatus),
                               tq::field("reqNote", &P::reqNote), tq::field("reqUserNote", &P::reqUserNote));
    }
};

TQ_EXPORT QString convertErrorToString(ErrorType error);
TQ_EXPORT QString convertPaymentStatusToString(PaymentStatus status);
// "<phone>_BANKCARD"; empty for an empty phone number.
TQ_EXPORT QString convertPhoneToPayComment(const QString& phone);
// ISO 8601 local time followed by its offset from UTC, "+03:00".
TQ_EXPORT QString paymentTimeStamp(const QDateTime& localTime);

namespace detail {

// The card as both requests send it.
struct TQ_EXPORT Card
{
    QString url; // the payment service's absolute address
    QString cardNumber;
    int cardExpMonth = 0;
    int cardExpYear = 0;
    QString cardCvc;
    qint64 payAmount = 0;
    QString payComment; // left out when empty

    void write(QJsonObject& json) const;
};

} // namespace detail

// Registers a card ("cardRegister") with an authorising payment.
class TQ_EXPORT BindRequest : public tq::Request<BindRequest>, public detail::Card
{
public:
    using Answer = PaymentResponse;
    static constexpr tq::Route route = tq::post("").type(tq::MethodType::PaymentServiceApi);
    static constexpr auto address = &BindRequest::url;
    QString reqId;
    QString orderId;
    QByteArray encodedBody() const;
};

// Pays with a card ("createPayment").
class TQ_EXPORT BuyRequest : public tq::Request<BuyRequest>, public detail::Card
{
public:
    using Answer = PaymentResponse;
    static constexpr tq::Route route = tq::post("").type(tq::MethodType::PaymentServiceApi);
    static constexpr auto address = &BuyRequest::url;
    QString orderId;
    QByteArray encodedBody() const;
};

} // namespace ps

Q_DECLARE_METATYPE(ps::PaymentResponse)
