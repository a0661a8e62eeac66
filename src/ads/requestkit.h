#pragma once
// The advertising requests use the shared request kit (transport/requestkit.h) under
// their old names.

#include "transport/requestkit.h"

namespace ad::detail {

using tq::kit::AddressRequest;
using tq::kit::clientTime;
using tq::kit::currentEpochSeconds;
using tq::kit::Decoder;
using tq::kit::Exchange;
using tq::kit::param;
using tq::kit::queryItem;
using tq::kit::Request;
using tq::kit::Send;

} // namespace ad::detail
