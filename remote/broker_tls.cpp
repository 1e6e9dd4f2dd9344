#include "remote/broker_tls.h"

#include <mosquitto.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include "remote/remote_settings.h"

namespace pump::remote {
namespace {

constexpr char kSystemCertificates[] = "/etc/ssl/certs";

int KeepOpenSslVerdict(int ok, X509_STORE_CTX*) { return ok; }

// Checks the broker's chain in place of OpenSSL's usual call, and keeps the
// result. libmosquitto's own per-certificate callback is set aside: it checks
// only the host name, which the context's parameters make OpenSSL check, and
// on a context the program supplies (libmosquitto 2.0.11) it refuses every
// certificate until libmosquitto has once made a context of its own.
int CheckBrokerCertificate(X509_STORE_CTX* store, void* verdict) {
  X509_STORE_CTX_set_verify_cb(store, &KeepOpenSslVerdict);
  const int ok = X509_verify_cert(store);
  *static_cast<long*>(verdict) = ok == 1 ? X509_V_OK : X509_STORE_CTX_get_error(store);
  return ok == 1 ? 1 : 0;
}

// Whether the file holds a PEM certificate. libmosquitto loads the CA file
// only as it connects, and says no more than that TLS failed when it cannot.
bool HoldsCertificate(const std::string& path) {
  BIO* file = BIO_new_file(path.c_str(), "r");
  if (!file) return false;
  STACK_OF(X509_INFO)* found = PEM_X509_INFO_read_bio(file, nullptr, nullptr, nullptr);
  BIO_free(file);
  bool any = false;
  for (int i = 0; found && i < sk_X509_INFO_num(found); ++i) {
    any = any || sk_X509_INFO_value(found, i)->x509 != nullptr;
  }
  sk_X509_INFO_pop_free(found, X509_INFO_free);
  ERR_clear_error();  // what the look found wrong is no later call's error
  return any;
}

}  // namespace

std::string BrokerTls::setUp(mosquitto* client, const std::string& host,
                             const std::string& caFile) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) return "cannot set up TLS";
  X509_VERIFY_PARAM* checks = SSL_CTX_get0_param(context);
  X509_VERIFY_PARAM_set_hostflags(checks, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  const bool named = X509_VERIFY_PARAM_set1_ip_asc(checks, host.c_str()) == 1 ||
                     X509_VERIFY_PARAM_set1_host(checks, host.c_str(), host.size()) == 1;
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);  // a failed check ends the handshake
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_cert_verify_callback(context, &CheckBrokerCertificate, &verdict_);
  // The client keeps a reference of its own; libmosquitto's defaults (the
  // CA given below, its options) still apply.
  const bool taken =
      named && mosquitto_void_option(client, MOSQ_OPT_SSL_CTX, context) == MOSQ_ERR_SUCCESS &&
      mosquitto_int_option(client, MOSQ_OPT_SSL_CTX_WITH_DEFAULTS, 1) == MOSQ_ERR_SUCCESS;
  SSL_CTX_free(context);
  if (!taken) return "cannot set up TLS";
  caFile_ = caFile;
  const bool ownCa = !caFile.empty();
  // libmosquitto opens the CA file by its path at once: a FIFO would hold it.
  if (ownCa) {
    if (const auto problem = CaFileProblem(caFile)) return *problem;
  }
  if (mosquitto_tls_set(client, ownCa ? caFile.c_str() : nullptr,
                        ownCa ? nullptr : kSystemCertificates, nullptr, nullptr,
                        nullptr) != MOSQ_ERR_SUCCESS) {
    return "cannot use the CA file " + caFile;
  }
  return {};
}

std::string BrokerTls::failureText() const {
  if (verdict_ == kNotChecked && !caFile_.empty() && !HoldsCertificate(caFile_)) {
    return "TLS: CA file holds no certificate";
  }
  switch (verdict_) {
    case kNotChecked:
    case X509_V_OK:
      return "TLS: handshake refused";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "TLS: host name mismatch";
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "TLS: certificate expired";
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "TLS: certificate not yet valid";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED:
      return "TLS: certificate not trusted";
  }
  return std::string("TLS: certificate refused (") + X509_verify_cert_error_string(verdict_) + ")";
}

}  // namespace pump::remote
