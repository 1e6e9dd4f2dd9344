// What the main window shows: its read-outs, their titles and units, the run
// clock, and the top-level menus that can be locked. The view binds one
// widget to each; the design table says which.
#pragma once

#include "platform/ui.h"
#include "texts/operator_texts.h"

namespace pump::console {

struct Display {
  Label currentPressureTitle{texts::kCurrentPressureTitle};
  Label pressureLimitTitle{texts::kPressureLimitTitle};
  Label flowSetpointTitle{texts::kFlowSetpointTitle};
  Label currentPressure{texts::kStartPressure};
  Label pressureLimit{texts::kStartPressureLimit};
  Label flowSetpoint{texts::kStartFlow};
  Label currentPressureUnit{texts::kPressureUnit};
  Label pressureLimitUnit{texts::kPressureUnit};
  Label flowSetpointUnit{texts::kFlowUnit};
  Label entryMode{texts::kNoEntry};
  Label pumpState{texts::kPumpStopped};
  // The run clock: visible by design, hidden by the start-up step.
  Label hours{texts::kClockStart};
  Label hourUnit{texts::kHourUnit};
  Label minutes{texts::kClockStart};
  Label minuteUnit{texts::kMinuteUnit};
  Label seconds{texts::kClockStart};
  Label secondUnit{texts::kSecondUnit};
  // The state of the line, below the chart.
  Label linkStatus{texts::kLinkNotConnected};
};

// The top-level menus that can be enabled and disabled.
struct Menus {
  MenuEntry file, timedRun, pump, setpoints, communication, tools, popup, help;
};

}  // namespace pump::console
