#pragma once
// The demo's party game, kept apart from the rest of the demo's flow: the room is created
// over HTTP on the fake services' host, then a short quiz is played over the fake
// party-games websocket: identify, open the room, select the game, advance its blocks.

namespace fake { class FakeServices; }
namespace tq { class TqContext; }

// False when a step did not finish within its time limit.
bool playPartyGame(tq::TqContext& context, const fake::FakeServices& services);
