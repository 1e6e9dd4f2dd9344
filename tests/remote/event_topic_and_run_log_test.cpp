// The run log and the broker's event topic follow one feed: a console driven
// through a timed run whose line is lost, whose stop falls due while it is
// down and goes out late on the reopened line, leaves the same events, in the
// same order, in its log files as on the broker.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/posix/background_append_log.h"
#include "runlog/run_log.h"
#include "tests/remote/station_fixture.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/console_harness.h"

namespace pump::remote::testing {
namespace {

using pump::testing::ReadFile;
using pump::testing::ScratchFolder;
using runlog::testing::FileNames;
using runlog::testing::Lines;

// "event detail" of every row of every log, the files in name (time) order.
// Details here hold no comma or quote, so a plain split is enough.
std::vector<std::string> LoggedEvents(const std::string& folder, bool withReadings) {
  std::vector<std::string> events;
  for (const auto& name : FileNames(folder)) {
    const auto lines = Lines(ReadFile(folder + "/" + name));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::vector<std::string> fields;
      std::size_t start = 0;
      for (std::size_t comma; (comma = lines[i].find(',', start)) != std::string::npos;
           start = comma + 1) {
        fields.push_back(lines[i].substr(start, comma - start));
      }
      fields.push_back(lines[i].substr(start));
      if (withReadings || fields[2] != "reading") events.push_back(fields[2] + " " + fields[7]);
    }
  }
  return events;
}

std::vector<std::string> BrokerEvents(const FarEnd& end, const std::string& topic) {
  std::vector<std::string> events;
  for (const auto& message : end.receivedOn(topic)) {
    const Json json = Json::parse(message.payload, nullptr, false);
    if (!json.is_object()) continue;
    events.push_back(json.value("event", "?") + " " + json.value("detail", "?"));
  }
  return events;
}

class EventTopicAndRunLog : public StationOnBroker {};

TEST_F(EventTopicAndRunLog, ALostLineDuringATimedRunLeavesTheSameEventsInTheLogAsOnTheBroker) {
  startStation();
  FarEnd end(broker.port(), topic("event"));
  ASSERT_TRUE(end.ready());
  ScratchFolder logs;
  pump::testing::ConsoleHarness f;
  auto& w = *f.window;
  std::size_t published = 0;  // events that are not readings
  {
    posix::BackgroundAppendLog disk({logs.path()}, {});
    runlog::RunLog log(disk);
    log.follow(w.events());
    w.events().subscribe([&](const session::SessionEvent& event) {
      station->onSessionEvent(event);
      if (event.kind != pump::EventKind::Reading) ++published;
    });

    // Before any port: a remote command the console turned down.
    w.session().note(pump::EventKind::Refused, "remote run request_id=r0 error=port not open");
    f.clock.advance(2000);  // the files' names, by the second, sort as they began
    f.openPort("/dev/ttyUSB0");
    f.serial.receive("Q00N01.5Y");
    f.startTimedRun("0.5");
    f.clock.advance(10000);
    // The line goes; reopening fails until the run's end has fallen due.
    f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
    f.serial.loseLine("Input/output error");
    for (int second = 11; second <= 40; ++second) {
      f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
      f.clock.advance(1000);
    }
    f.clock.advance(2000);  // the line is back and the kept stop goes out first
    f.serial.receive("Q00S0000Y");
    f.serial.receive("Q00N00.0Y");
    w.closeWindow();
  }  // the log's writer puts down what is left

  ASSERT_TRUE(
      window.runUntil([&] { return end.receivedOn(topic("event")).size() >= published; }, 10s))
      << end.receivedOn(topic("event")).size() << " of " << published << " event messages";
  const auto onBroker = BrokerEvents(end, topic("event"));
  EXPECT_EQ(LoggedEvents(logs.path(), false), onBroker);
  // The steps the log used to miss are there, in order.
  const std::vector<std::string> steps = {
      "close /dev/ttyUSB0", "link lost",          "link reconnecting",
      "run stop_due",       "command Q00S0000Y",  "run stop_sent",
      "open /dev/ttyUSB0",  "close /dev/ttyUSB0", "link not_connected"};
  auto from = onBroker.begin();
  for (const auto& step : steps) {
    from = std::find(from, onBroker.end(), step);
    EXPECT_NE(from, onBroker.end()) << step;
  }
  // Readings are the log's alone (the broker has them on the pressure topic).
  const auto withReadings = LoggedEvents(logs.path(), true);
  EXPECT_EQ(std::count(withReadings.begin(), withReadings.end(), "reading Q00N01.5Y"), 1);
  // The refusal before any port has a file of its own; the rest is one file.
  EXPECT_EQ(FileNames(logs.path()).size(), 2U);
}

}  // namespace
}  // namespace pump::remote::testing
