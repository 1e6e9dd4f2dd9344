#include <gtest/gtest.h>

#include <set>
#include <string>

#include "vocabulary/event_kind.h"

namespace pump {
namespace {

constexpr EventKind kEveryKind[] = {
    EventKind::Open, EventKind::Reading, EventKind::Reply, EventKind::Command, EventKind::Refused,
    EventKind::Link, EventKind::Run,     EventKind::Close, EventKind::Log,     EventKind::Program};

TEST(Vocabulary, EveryEventKindIsReadBackFromTheNameALogGivesIt) {
  std::set<std::string> names;
  for (const EventKind kind : kEveryKind) {
    EventKind read = kind == EventKind::Open ? EventKind::Log : EventKind::Open;
    ASSERT_TRUE(EventKindFromName(EventKindName(kind), read)) << EventKindName(kind);
    EXPECT_EQ(read, kind) << EventKindName(kind);
    names.insert(EventKindName(kind));
  }
  EXPECT_EQ(names.size(), std::size(kEveryKind)) << "two kinds share a name";
}

TEST(Vocabulary, ANameNoLogWritesIsNoEventKindAndLeavesTheKindAlone) {
  EventKind kind = EventKind::Run;
  for (const char* name : {"", "Reading", "reading ", "readings", "not_connected"}) {
    EXPECT_FALSE(EventKindFromName(name, kind)) << '"' << name << '"';
    EXPECT_EQ(kind, EventKind::Run);
  }
}

}  // namespace
}  // namespace pump
