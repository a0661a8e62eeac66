#pragma once
// Audience measurement: one GET per viewing event, all data in the query. The backend
// puts the service address, the client identifier and its fixed values in front.

#include "tqglobal.h"

#include "ads/requestkit.h"

namespace mediascope {

using ad::detail::param;
using ad::detail::Send;

class TQ_EXPORT EventRequest : public ad::detail::Request<EventRequest>
{
public:
    static constexpr ad::detail::Exchange exchange{tq::MethodType::MediascopeApi, "GET", ""};

    // The keys and their value ranges are the measurement service's.
    qint32 type = 0;
    qint32 ver = 0;
    qint32 dvid = 0;
    QString dvt;
    QString hid;
    qint32 uidt = 0;
    qint32 uidc = 0;
    QString uid;
    QString appn;
    QString appv;
    QString os;
    qint64 idc = -1;
    QString idlc;
    qint64 fts = -1;
    qint32 view = -1;
    QString tms;
    QString dvm;
    QString dvn;
    QString media;

    static constexpr auto query()
    {
        using R = EventRequest;
        return std::make_tuple(
            param("type", &R::type, Send::Always), param("ver", &R::ver, Send::Always),
            param("dvid", &R::dvid, Send::Positive), param("dvt", &R::dvt), param("hid", &R::hid),
            param("uidt", &R::uidt, Send::Positive), param("uidc", &R::uidc, Send::Positive), param("uid", &R::uid),
            param("appn", &R::appn), param("appv", &R::appv), param("os", &R::os),
            param("idc", &R::idc, Send::NotMinusOne), param("idlc", &R::idlc),
            param("fts", &R::fts, Send::NotNegative), param("view", &R::view, Send::NotNegative),
            param("tms", &R::tms), param("dvm", &R::dvm), param("dvn", &R::dvn), param("media", &R::media));
    }
};

} // namespace mediascope
