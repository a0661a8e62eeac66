#pragma once
// Every platform request, by area, and the list of them all (for tools that walk the
// catalogue: the fake platform, the catalogue test, the benchmark).

#include "api/accountrequests.h"
#include "api/channelrequests.h"
#include "api/commercerequests.h"
#include "api/contentrequests.h"
#include "api/sessionrequests.h"
#include "api/userdatarequests.h"

namespace tq {

using PlatformCatalogue = decltype(std::tuple_cat(std::declval<SessionRequests>(), std::declval<ChannelRequests>(),
                                                  std::declval<ContentRequests>(), std::declval<AccountRequests>(),
                                                  std::declval<CommerceRequests>(), std::declval<UserDataRequests>()));

} // namespace tq
