// TLS to the broker. libmosquitto makes the connection with its usual
// settings, but the broker's certificate is checked here, with OpenSSL's own
// checks (the chain against the CA file or the system's store, the validity
// dates, and the host name or address of the URL), and what the check found
// is kept: libmosquitto itself says no more than "A TLS error occurred.".
#pragma once

#include <string>

struct mosquitto;

namespace pump::remote {

// Lives on the network thread, with the client it was set up on.
class BrokerTls {
 public:
  // Sets `client` up for TLS to `host`, trusting `caFile` (empty: the
  // system's certificates). Why it cannot be, or empty.
  std::string setUp(mosquitto* client, const std::string& host, const std::string& caFile);
  // Before each attempt to connect.
  void forgetLastCheck() { verdict_ = kNotChecked; }
  // Why the last handshake failed, for the status line:
  // "TLS: certificate not trusted".
  std::string failureText() const;

  static constexpr long kNotChecked = -1;

 private:
  // OpenSSL's verification result for the broker's certificate
  // (X509_V_OK or an X509_V_ERR_ code), or kNotChecked.
  long verdict_ = kNotChecked;
  std::string caFile_;
};

}  // namespace pump::remote
