#include "vocabulary/event_kind.h"

namespace pump {

const char* EventKindName(EventKind kind) {
  switch (kind) {
    case EventKind::Open:
      return "open";
    case EventKind::Reading:
      return "reading";
    case EventKind::Reply:
      return "reply";
    case EventKind::Command:
      return "command";
    case EventKind::Refused:
      return "refused";
    case EventKind::Link:
      return "link";
    case EventKind::Run:
      return "run";
    case EventKind::Close:
      return "close";
    case EventKind::Log:
      return "log";
    case EventKind::Program:
      return "program";
  }
  return "reply";
}

bool EventKindFromName(std::string_view name, EventKind& kind) {
  for (const EventKind candidate :
       {EventKind::Open, EventKind::Reading, EventKind::Reply, EventKind::Command,
        EventKind::Refused, EventKind::Link, EventKind::Run, EventKind::Close, EventKind::Log,
        EventKind::Program}) {
    if (name == EventKindName(candidate)) {
      kind = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace pump
