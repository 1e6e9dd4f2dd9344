#include "tests/support/test_broker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/child_process.h"

namespace pump::testing {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

namespace {

// A port the kernel hands out as free; the broker binds it a moment later.
int FreeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = Loopback(port);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

bool Run(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

}  // namespace

std::optional<TlsFiles> MakeTestCertificates(const std::string& folder, const std::string& name) {
  const std::string base = folder + "/" + name;
  TlsFiles ca{base + "-ca.crt", "", ""};
  if (!Run("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=" + name + "-test-ca" +
           " -keyout " + base + "-ca.key -out " + ca.caCertificate)) {
    return std::nullopt;
  }
  // A broker started as root reads its files as user mosquitto.
  namespace fs = std::filesystem;
  std::error_code ignored;
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec,
                  ignored);
  return MakeServerCertificate(ca, name, "IP:127.0.0.1", 2);
}

std::optional<TlsFiles> MakeServerCertificate(const TlsFiles& ca, const std::string& name,
                                              const std::string& altName, int days) {
  const std::string caBase = ca.caCertificate.substr(0, ca.caCertificate.size() - 4);  // .crt
  const std::string base =
      std::filesystem::path(ca.caCertificate).parent_path().string() + "/" + name;
  TlsFiles files{ca.caCertificate, base + "-server.crt", base + "-server.key"};
  std::ofstream(base + "-san.ext") << "subjectAltName=" << altName << "\n";
  const bool made =
      Run("openssl req -newkey rsa:2048 -nodes -subj /CN=" + name + " -keyout " + files.serverKey +
          " -out " + base + "-server.csr") &&
      Run("openssl x509 -req -days " + std::to_string(days) + " -in " + base + "-server.csr -CA " +
          ca.caCertificate + " -CAkey " + caBase + ".key -CAcreateserial -extfile " + base +
          "-san.ext -out " + files.serverCertificate);
  if (!made) return std::nullopt;
  // These keys guard nothing but a test.
  std::error_code ignored;
  std::filesystem::permissions(
      files.serverKey, std::filesystem::perms::others_read | std::filesystem::perms::group_read,
      std::filesystem::perm_options::add, ignored);
  return files;
}

std::string FindProgram(const std::string& name) {
  std::string folders = std::getenv("PATH") ? std::getenv("PATH") : "";
  folders += ":/usr/sbin:/usr/local/sbin:/sbin";
  std::stringstream list(folders);
  for (std::string folder; std::getline(list, folder, ':');) {
    const std::string candidate = folder + "/" + name;
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::optional<std::string> TestBroker::MissingReason() {
  if (FindProgram("mosquitto").empty()) {
    return "mosquitto is not installed (apt-get install mosquitto mosquitto-clients)";
  }
  return std::nullopt;
}

TestBroker::TestBroker(std::optional<TlsFiles> tls) : tls_(std::move(tls)) {
  port_ = FreeLoopbackPort();
}

TestBroker::~TestBroker() { kill(); }

bool TestBroker::start() {
  const std::string config = folder_.path() + "/mosquitto.conf";
  {
    std::ofstream file(config);
    file << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\n";
    // Run as root, Mosquitto would write its database as user mosquitto,
    // which cannot write into this private folder.
    if (persistent_) {
      file << "user root\npersistence true\npersistence_location " << folder_.path() << "/\n";
    } else {
      file << "persistence false\n";
    }
    if (bridge_) {
      file << "connection upstream\naddress 127.0.0.1:" << bridge_->first << "\ntopic "
           << bridge_->second << " both 1\nbridge_protocol_version mqttv50\nrestart_timeout 1\n";
    }
    if (tls_) {
      file << "cafile " << tls_->caCertificate << "\ncertfile " << tls_->serverCertificate
           << "\nkeyfile " << tls_->serverKey << "\n";
    }
  }
  pid_ = SpawnChild({.args = {FindProgram("mosquitto"), "-c", config},
                     .errFile = folder_.path("log"),
                     .appendErr = true});
  if (pid_ <= 0) return false;
  for (int tries = 0; tries < 250; ++tries) {
    if (Accepts(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

void TestBroker::kill() {
  SignalAndReap(pid_, SIGKILL);
  pid_ = -1;
}

void TestBroker::stop() {
  SignalAndReap(pid_, SIGTERM);
  pid_ = -1;
}

std::string TestBroker::url() const {
  return std::string(tls_ ? "mqtts" : "mqtt") + "://127.0.0.1:" + std::to_string(port_);
}

}  // namespace pump::testing
