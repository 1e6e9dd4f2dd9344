#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <utility>

#include "tests/remote/station_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/fifo_writer_later.h"
#include "tests/support/pump_states.h"

namespace pump::remote::testing {
namespace {

using pump::EventKind;
using namespace pump::testing;

// The console stand-in as a process of its own, so that it can be killed.
class StationProcess {
 public:
  explicit StationProcess(std::vector<std::string> args) {
    args.insert(args.begin(), STATION_PROCESS);
    pid_ = pump::testing::SpawnChild({.args = args});
  }
  ~StationProcess() { end(SIGKILL); }
  bool started() const { return pid_ > 0; }
  // Sends the signal and returns the wait status.
  int end(int signal) {
    return pump::testing::SignalAndReap(std::exchange(pid_, -1), signal).value_or(-1);
  }

 private:
  pid_t pid_ = -1;
};

class ClientProcessOnBroker : public StationOnBroker {
 protected:
  std::optional<Json> retainedStatusOf(const std::string& pumpId,
                                       const std::function<bool(const Json&)>& match) {
    FarEnd end(broker.port(), "pumps/" + pumpId + "/status");
    if (!end.ready()) return std::nullopt;
    return awaitJson(end, "pumps/" + pumpId + "/status", match);
  }
};

TEST_F(ClientProcessOnBroker, AKilledConsoleLeavesItsLastWillAsTheRetainedStatus) {
  StationProcess console({"--mqtt-url", broker.url(), "--pump-id", "doomed", "--port", "sim"});
  ASSERT_TRUE(console.started());
  FarEnd watcher(broker.port(), "pumps/doomed/status");
  ASSERT_TRUE(watcher.ready());
  const auto online = awaitJson(watcher, "pumps/doomed/status", [](const Json& s) {
    return s["online"] == true && s["port"] == "sim";
  });
  ASSERT_TRUE(online) << "the console never said it was online";
  const int status = console.end(SIGKILL);
  EXPECT_TRUE(WIFSIGNALED(status));

  const auto will =
      awaitJson(watcher, "pumps/doomed/status", [](const Json& s) { return s["online"] == false; });
  ASSERT_TRUE(will) << "no last will after the kill";
  // It names the console that left, for another one under the same pump id.
  EXPECT_EQ(
      *will,
      (Json{{"online", false}, {"pump_id", "doomed"}, {"instance_id", (*online)["instance_id"]}}));
  EXPECT_EQ((*online)["instance_id"].get<std::string>().size(), 16u);
  // A subscriber that comes later finds the will retained.
  EXPECT_TRUE(retainedStatusOf("doomed", [](const Json& s) { return s["online"] == false; }));
}

TEST_F(ClientProcessOnBroker, SigtermEndsTheConsoleCleanlyWithItsStatusOffline) {
  StationProcess console({"--mqtt-url=" + broker.url(), "--pump-id=calm", "--port=/dev/ttyUSB3"});
  ASSERT_TRUE(console.started());
  ASSERT_TRUE(retainedStatusOf("calm", [](const Json& s) { return s["online"] == true; }));
  const int status = console.end(SIGTERM);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const auto last = retainedStatusOf("calm", [](const Json& s) { return s["online"] == false; });
  ASSERT_TRUE(last);
  EXPECT_EQ((*last)["port"], "/dev/ttyUSB3");
}

TEST_F(StationOnBroker, ABrokerKilledAndRestartedIsReconnectedAndNothingHeldIsLost) {
  startStation();
  station->onSessionEvent(Event(EventKind::Open, "sim"));
  window.runFor(100ms);
  broker.kill();
  ASSERT_TRUE(
      window.runUntil([&] { return station->brokerStatus().state != BrokerState::Connected; }, 5s));

  // The console goes on while the broker is away: events are taken at once.
  const auto before = std::chrono::steady_clock::now();
  const session::PumpState shown = pump::testing::Showing("01.2", "02.0", "000");
  for (int i = 0; i < 20; ++i) {
    station->onSessionEvent(Event(EventKind::Command, "Q00A000Y", shown));
    station->onSessionEvent(Event(EventKind::Reading, "Q00P012Y", shown));
  }
  station->onSessionEvent(Event(EventKind::Link, "no_answer", shown));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);

  ASSERT_TRUE(broker.start());
  FarEnd end(broker.port(), "pumps/#");
  ASSERT_TRUE(end.ready());
  ASSERT_TRUE(connected(10s)) << "no reconnection after the broker came back";
  ASSERT_TRUE(awaitJson(end, topic("event"), [](const Json& e) { return e["event"] == "link"; }));
  EXPECT_EQ(end.receivedOn(topic("event")).size(), 21u) << "every held event, once";
  EXPECT_TRUE(end.receivedOn(topic("pressure")).empty()) << "readings are not held";
  const auto status = awaitJson(end, topic("status"), [](const Json& s) {
    return s["online"] == true && s["link"] == "no_answer" && s["pressure_mpa"] == 1.2;
  });
  EXPECT_TRUE(status) << "the status was not brought up to date";

  std::vector<BrokerState> seen;
  for (const auto& state : states) seen.push_back(state.state);
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(seen[1], BrokerState::Connected);
  EXPECT_EQ(seen[2], BrokerState::Disconnected);
  EXPECT_FALSE(states[2].detail.empty()) << "a drop says why";
  EXPECT_EQ(seen.back(), BrokerState::Connected);
}

class TlsBroker : public StationOnBroker {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    if (FindProgram("openssl").empty()) GTEST_SKIP() << "openssl is not installed";
    tls = MakeTestCertificates(folder.path(), "lab");
    ASSERT_TRUE(tls) << "openssl could not make the test certificates";
    tlsBroker = std::make_unique<TestBroker>(tls);
    ASSERT_TRUE(tlsBroker->start());
    settings.brokerUrl = tlsBroker->url();
    settings.pumpId = "bench-1";
  }

  // Connects to `url` trusting `caFile`; why the first attempt failed.
  std::string firstFailure(const std::string& url, const std::string& caFile) {
    station.reset();
    connection.reset();
    states.clear();
    settings.brokerUrl = url;
    settings.caFile = caFile;
    connection = std::make_unique<MosquittoConnection>(
        settings, [this](std::function<void()> task) { window.post(std::move(task)); });
    station = std::make_unique<RemoteStation>(
        settings, *connection, control,
        RemoteStationHooks{[this](const BrokerStatus& s) { states.push_back(s); }, {}, {}, {}},
        kStartUp);
    station->start();
    window.runUntil(
        [&] { return !states.empty() && states.back().state == BrokerState::Disconnected; }, 5s);
    for (const auto& state : states) EXPECT_NE(state.state, BrokerState::Connected) << url;
    return states.empty() ? "" : states.back().detail;
  }

  ScratchFolder folder;
  std::optional<TlsFiles> tls;
  std::unique_ptr<TestBroker> tlsBroker;
};

TEST_F(TlsBroker, AConsoleTrustingTheTestCaConnectsAndPublishes) {
  settings.caFile = tls->caCertificate;
  startStation();
  FarEnd end(tlsBroker->port(), topic("status"), tls->caCertificate);
  ASSERT_TRUE(end.ready());
  EXPECT_TRUE(awaitJson(end, topic("status"), [](const Json& s) { return s["online"] == true; }));
}

TEST_F(TlsBroker, ACaFileThatIsAFifoIsRefusedAtOnceWithItsCause) {
  const std::string fifo = folder.path() + "/ca.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  pump::testing::FifoWriterLater unblock(fifo, 5s);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(
      firstFailure(tlsBroker->url(), fifo),
      "cannot use the CA file " + fifo + ": not a regular file (a FIFO, a device or a folder)");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << "held by the FIFO";
}

TEST_F(TlsBroker, AConsoleTrustingAnotherCaNeverConnectsAndSaysTheCertificateIsNotTrusted) {
  const auto stranger = MakeTestCertificates(folder.path(), "stranger");
  ASSERT_TRUE(stranger);
  EXPECT_EQ(firstFailure(tlsBroker->url(), stranger->caCertificate),
            "TLS: certificate not trusted");
}

TEST_F(TlsBroker, AFailedConnectionSaysWhetherTheNameTheDatesTheCaFileOrTheBrokerWereWrong) {
  const auto elsewhere = MakeServerCertificate(*tls, "elsewhere", "DNS:broker.elsewhere", 2);
  const auto expired = MakeServerCertificate(*tls, "expired", "IP:127.0.0.1", -1);
  ASSERT_TRUE(elsewhere && expired);
  TestBroker misnamed(elsewhere), outOfDate(expired);
  ASSERT_TRUE(misnamed.start() && outOfDate.start() && broker.start());
  const std::string empty = folder.path() + "/empty.crt", garbage = folder.path() + "/garbage.crt";
  std::ofstream{empty};
  std::ofstream{garbage} << "not a certificate\n";
  const TestBroker nobody;  // a free port, with nothing listening on it

  const struct {
    std::string url, caFile, cause;
  } rows[] = {
      {misnamed.url(), tls->caCertificate, "TLS: host name mismatch"},
      {outOfDate.url(), tls->caCertificate, "TLS: certificate expired"},
      // A broker that does not speak TLS on its port.
      {"mqtts://127.0.0.1:" + std::to_string(broker.port()), tls->caCertificate,
       "TLS: handshake refused"},
      {tlsBroker->url(), empty, "TLS: CA file holds no certificate"},
      {tlsBroker->url(), garbage, "TLS: CA file holds no certificate"},
      {nobody.url(), "", "connection refused"},
      {"mqtts://127.0.0.1:" + std::to_string(nobody.port()), tls->caCertificate,
       "connection refused"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(firstFailure(row.url, row.caFile), row.cause) << row.url << " " << row.caFile;
  }
}

}  // namespace
}  // namespace pump::remote::testing
