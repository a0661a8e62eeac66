#include "services/payment.h"

#include "model/fieldcodec_p.h"

#include <QCoreApplication>

namespace ps {
namespace {

// The service wants a holder name but does not check it; the box never asks for one.
const char cardHolder[] = "CARD HOLDER";
const char currency[] = "RUB";

QString translated(const char* key)
{
    return QCoreApplication::translate("PaymentServiceError", key);
}

QString now()
{
    return paymentTimeStamp(QDateTime::currentDateTime());
}

} // namespace

QString convertErrorToString(ErrorType error)
{
    switch (error) {
    case ErrorType::AbandonDenied: return translated("ABANDON_DENIED");
    case ErrorType::RequestDenied: return translated("REQUEST_DENIED");
    case ErrorType::BadCardFormat: return translated("BAD_CARD_FORMAT");
    case ErrorType::BadCurrency: return translated("BAD_CURRENCY");
    case ErrorType::BadFormat: return translated("BAD_FORMAT");
    case ErrorType::BadRequest: return translated("BAD_REQUEST");
    case ErrorType::AccessDenied: return translated("ACCESS_DENIED");
    case ErrorType::Busy: return translated("BUSY");
    case ErrorType::Success: return translated("SUCCESS");
    case ErrorType::PaymentNotFound: return translated("PAYMENT_NOT_FOUND");
    case ErrorType::Denied: return translated("DENIED");
    case ErrorType::BadCardNumber: return translated("BAD_CARD_NUMBER");
    case ErrorType::InsufficientMoney: return translated("INSUFFICIENT_MONEY");
    case ErrorType::CardExpired: return translated("CARD_EXPIRED");
    case ErrorType::BadCardholder: return translated("BAD_CARDHOLDER");
    case ErrorType::LimitsExceeded: return translated("LIMITS_EXCEEDED");
    case ErrorType::Unauthorized: return translated("UNAUTHORIZED");
    case ErrorType::Antifraud: return translated("ANTIFRAUD");
    case ErrorType::ThreeDSRequired: return translated("3DS_REQUIRED");
    case ErrorType::AcquirerDiscard: return translated("ACQUIRER_DISCARD");
    case ErrorType::EmitentDiscard: return translated("EMITENT_DISCARD");
    case ErrorType::ConnectFailed: return translated("CONNECT_FAILED");
    case ErrorType::Unknown: break;
    }
    return translated("UNKNOWN_ERROR");
}

QString convertPaymentStatusToString(PaymentStatus status)
{
    switch (status) {
    case PaymentStatus::Denied: return translated("PAY_STATUS_DENIED");
    case PaymentStatus::Authorizing: return translated("PAY_STATUS_AUTHORIZING");
    case PaymentStatus::Authorized: return translated("PAY_STATUS_AUTHORIZED");
    case PaymentStatus::Accepting: return translated("PAY_STATUS_ACCEPTING");
    case PaymentStatus::Accepted: return translated("PAY_STATUS_ACCEPTED");
    case PaymentStatus::Abandoning: return translated("PAY_STATUS_ABANDONING");
    case PaymentStatus::Abandoned: return translated("PAY_STATUS_ABANDONED");
    case PaymentStatus::Unknown:
    case PaymentStatus::ErrorOccurred: break;
    }
    return translated("UNKNOWN_ERROR");
}

QString convertPhoneToPayComment(const QString& phone)
{
    return phone.isEmpty() ? QString() : QStringLiteral("%1_BANKCARD").arg(phone);
}

QString paymentTimeStamp(const QDateTime& localTime)
{
    const int offset = localTime.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return localTime.toString(Qt::ISODate).left(19)
           + QStringLiteral("%1%2:%3")
                 .arg(offset >= 0 ? QLatin1Char('+') : QLatin1Char('-'))
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

void detail::Card::write(QJsonObject& json) const
{
    json.insert(QLatin1String("cardNumber"), cardNumber);
    json.insert(QLatin1String("cardHolder"), QLatin1String(cardHolder));
    json.insert(QLatin1String("cardExpMonth"), cardExpMonth);
    json.insert(QLatin1String("cardExpYear"), cardExpYear);
    json.insert(QLatin1String("cardCvc"), cardCvc);
    if (!payComment.isEmpty())
        json.insert(QLatin1String("payComment"), payComment);
}

QByteArray BindRequest::encodedBody() const
{
    QJsonObject json{{QLatin1String("reqType"), QLatin1String("cardRegister")}, {QLatin1String("reqId"), reqId}};
    write(json);
    json.insert(QLatin1String("authPay"), QJsonObject{{QLatin1String("orderId"), orderId},
                                                      {QLatin1String("payAmount"), payAmount},
                                                      {QLatin1String("payCurrId"), QLatin1String(currency)},
                                                      {QLatin1String("reqTime"), now()}});
    return jsonToRaw(json);
}

QByteArray BuyRequest::encodedBody() const
{
    QJsonObject json{{QLatin1String("reqType"), QLatin1String("createPayment")}, {QLatin1String("orderId"), orderId}};
    write(json);
    json.insert(QLatin1String("payAmount"), payAmount);
    json.insert(QLatin1String("payCurrId"), QLatin1String(currency));
    json.insert(QLatin1String("payTime"), now());
    json.insert(QLatin1String("delay"), 1);
    return jsonToRaw(json);
}

TQ_DEFINE_ANSWER(PaymentResponse)

} // namespace ps
