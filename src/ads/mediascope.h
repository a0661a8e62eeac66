#pragma once
// Audience measurement: one GET per viewing event, all data in the query. The backend
// puts the service address, the client identifier and its fixed values in front.

#include "tqglobal.h"

#include "transport/requestkit.h"

namespace mediascope {

using tq::item;
using tq::Send;

class TQ_EXPORT EventRequest : public tq::Request<EventRequest>
{
public:
    static constexpr tq::Route route = tq::get("").type(tq::MethodType::MediascopeApi);

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
            item("type", &R::type, Send::Always), item("ver", &R::ver, Send::Always),
            item("dvid", &R::dvid), item("dvt", &R::dvt), item("hid", &R::hid),
            item("uidt", &R::uidt), item("uidc", &R::uidc), item("uid", &R::uid),
            item("appn", &R::appn), item("appv", &R::appv), item("os", &R::os),
            item("idc", &R::idc, Send::NotMinusOne), item("idlc", &R::idlc),
            item("fts", &R::fts, Send::NotNegative), item("view", &R::view, Send::NotNegative),
            item("tms", &R::tms), item("dvm", &R::dvm), item("dvn", &R::dvn), item("media", &R::media));
    }
};

} // namespace mediascope
