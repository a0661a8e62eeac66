#pragma once
// The demo's party game, kept apart from the rest of the demo's flow: the room is created
// over HTTP on one of the fake platform's hosts, then a short quiz is played over the fake
// party-games websocket: identify, open the room, select the game, advance its blocks.

#include <QString>

#include <functional>

namespace fake { class FakeHttpServer; }
namespace tq { class TqContext; }

// Narrates through `say`; false when a step did not finish within its time limit.
bool playPartyGame(tq::TqContext& context, fake::FakeHttpServer& host, const std::function<void(const QString&)>& say);
