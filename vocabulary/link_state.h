// The state of the line to the pump, as link supervision sees it.
#pragma once

namespace pump {

enum class LinkState {
  NotConnected,  // no port open
  Waiting,       // open, but no whole, valid frame has arrived since the open
  Answering,     // a whole, valid frame arrived within the last three poll periods
  NoAnswer,      // the port is open but no valid frame for three poll periods (4.5 s)
  Lost,          // the port failed
  Reconnecting,  // trying to reopen the lost port
};

// The texts used for link states in logs and on a broker: stable, ASCII.
const char* LinkStateName(LinkState state);

}  // namespace pump
