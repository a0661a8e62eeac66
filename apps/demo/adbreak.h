#pragma once
// The demo's ad break, kept apart from the rest of the demo's flow: a pre-roll asked from
// the fake ad server mounted on one of the fake platform's hosts, its VAST answer read,
// its impression and quartile pixels fired as a player would while the creative plays.

namespace fake { class FakeHttpServer; }
namespace tq { class TqContext; }

// False when a step did not finish within its time limit.
bool playAdBreak(tq::TqContext& context, fake::FakeHttpServer& host);
