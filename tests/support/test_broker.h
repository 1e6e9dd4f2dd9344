// A real Mosquitto broker started by a test on a free loopback port, and the
// files it needs: its configuration and, for TLS, a certificate authority and
// a server certificate made with openssl for 127.0.0.1.
#pragma once

#include <netinet/in.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>

#include "tests/support/scratch_folder.h"

namespace pump::testing {

// The loopback address at `port`, for a test's own sockets.
sockaddr_in Loopback(int port);

// A certificate authority and a server certificate it signed.
struct TlsFiles {
  std::string caCertificate;
  std::string serverCertificate;
  std::string serverKey;
};

// Makes them in `folder` (names prefixed with `name`); nothing if openssl failed.
std::optional<TlsFiles> MakeTestCertificates(const std::string& folder, const std::string& name);

// Another server certificate from the authority `ca` made, for `altName`
// ("IP:127.0.0.1", "DNS:broker.lab"), valid from now for `days` (-1: it
// expired a day before it began, so it is out of date from the start).
std::optional<TlsFiles> MakeServerCertificate(const TlsFiles& ca, const std::string& name,
                                              const std::string& altName, int days);

// The path of an executable found on PATH or in the sbin folders, or empty.
std::string FindProgram(const std::string& name);

class TestBroker {
 public:
  // Why no broker can be started here, or nothing when one can.
  static std::optional<std::string> MissingReason();

  explicit TestBroker(std::optional<TlsFiles> tls = std::nullopt);
  // Keeps retained messages on disk across stop() and start(); call first.
  void keepRetainedMessages() { persistent_ = true; }
  // Bridges this broker over MQTT 5 to the one on `upstreamPort`, both ways,
  // for the topics `filter` matches, reconnecting every second while that one
  // is away; call before start().
  void bridgeTo(int upstreamPort, std::string filter) {
    bridge_ = {upstreamPort, std::move(filter)};
  }
  ~TestBroker();
  TestBroker(const TestBroker&) = delete;
  TestBroker& operator=(const TestBroker&) = delete;

  // Starts the broker and waits until it accepts connections (5 s at most).
  bool start();
  // Ends it at once, as a crash would.
  void kill();
  // Ends it as an administrator would (SIGTERM), saving what it keeps.
  void stop();

  int port() const { return port_; }
  std::string url() const;

 private:
  ScratchFolder folder_;
  std::optional<TlsFiles> tls_;
  int port_ = 0;
  pid_t pid_ = -1;
  bool persistent_ = false;
  std::optional<std::pair<int, std::string>> bridge_;
};

}  // namespace pump::testing
