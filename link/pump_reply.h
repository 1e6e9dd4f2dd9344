// A whole reply frame from the pump, and what the console reads from it.
#pragma once

#include <string>

#include "link/pump_frame.h"

namespace pump::link {

enum class ReplyKind { CurrentPressure, PressureLimit, Flow, Other };

struct PumpReply {
  std::string frame;  // the nine characters as received

  ReplyKind kind() const {
    switch (FrameKind(frame)) {
      case 'N':
        return ReplyKind::CurrentPressure;
      case 'P':
        return ReplyKind::PressureLimit;
      case 'L':
        return ReplyKind::Flow;
      default:
        return ReplyKind::Other;
    }
  }
  // The four-character value field.
  std::string value() const { return FrameValue(frame); }
  // A pressure limit as the display shows it: the third digit is not read.
  std::string pressureShown() const { return PressureDisplay(frame); }
};

}  // namespace pump::link
