// Where a reply from the pump becomes a reading: the one place its value
// field is read as a number.
#pragma once

#include "link/pump_reply.h"
#include "session/pump_state.h"
#include "session/session_events.h"

namespace pump::session {

// Takes the value a reply carries into `state` (the current pressure, the
// pressure limit or the flow setpoint) and says which one it was. A reply of
// another kind changes nothing.
Changed TakeReply(const link::PumpReply& reply, PumpState& state);

}  // namespace pump::session
