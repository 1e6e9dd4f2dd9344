#include "session/reading_from_reply.h"

namespace pump::session {

// The characters are those the display shows, one per byte; a field that is
// not a number keeps them, with no number beside them.
Changed TakeReply(const link::PumpReply& reply, PumpState& state) {
  switch (reply.kind()) {
    case link::ReplyKind::CurrentPressure:
      state.currentPressure = Pressure::Read(reply.valueShown());
      return Changed::CurrentPressure;
    case link::ReplyKind::PressureLimit:
      state.pressureLimit = Pressure::Read(reply.pressureShown());
      return Changed::PressureLimit;
    case link::ReplyKind::Flow:
      state.flowSetpoint = Flow::Read(reply.valueShown());
      return Changed::FlowSetpoint;
    case link::ReplyKind::Other:
      break;
  }
  return Changed::Nothing;
}

}  // namespace pump::session
