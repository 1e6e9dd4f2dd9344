#include "vocabulary/link_state.h"

namespace pump {

const char* LinkStateName(LinkState state) {
  switch (state) {
    case LinkState::NotConnected:
      return "not_connected";
    case LinkState::Waiting:
      return "waiting";
    case LinkState::Answering:
      return "answering";
    case LinkState::NoAnswer:
      return "no_answer";
    case LinkState::Lost:
      return "lost";
    case LinkState::Reconnecting:
      return "reconnecting";
  }
  return "not_connected";
}

}  // namespace pump
