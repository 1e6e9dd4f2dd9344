// A whole reply frame from the pump, and what the console reads from it.
#pragma once

#include <string>

#include "link/pump_frame.h"
#include "link/reply_text.h"

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
  // The four-character value field, its bytes as received.
  std::string value() const { return FrameValue(frame); }
  // The value field as a display shows it: four characters, one per byte.
  std::string valueShown() const { return ShownCharacters(FrameValue(frame)); }
  // A pressure limit as the display shows it: the third digit is not read.
  std::string pressureShown() const { return ShownCharacters(PressureDisplay(frame)); }
};

}  // namespace pump::link
