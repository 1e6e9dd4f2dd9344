// The pump session on Qt's core: its timers, the device line and the
// built-in simulated pump behind one switch (the name `sim` picks the pump),
// and the session over them. Both the window and the headless console hold one.
#pragma once

#include <memory>

#include "link/stable_port_name.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "session/pump_session.h"
#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"

namespace pump::app {

struct SessionOnQt {
  qt::QtTimer runClockTimer;
  qt::QtTimer pollTimer;
  qt::QtTimer linkWatchTimer;
  qt::QtTimer programTimer;
  qt::QtSerialPort device;
  sim::SimSerialPort simulated{std::make_unique<qt::QtTimer>()};
  sim::SwitchingSerialPort serial{device, simulated};
  // A lost USB adapter is found again under its stable name.
  session::PumpSession session{session::SessionServices{
      .serial = serial,
      .runClockTimer = runClockTimer,
      .pollTimer = pollTimer,
      .linkWatchTimer = linkWatchTimer,
      .programTimer = programTimer,
      .stableName = [](const std::string& name) { return link::StableAdapterName(name); },
  }};
};

}  // namespace pump::app
