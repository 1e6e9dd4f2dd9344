#include "report/log_entries.h"

#include <openssl/evp.h>

#include <memory>

#include "runlog/log_reader.h"

namespace pump::report {

namespace {

struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class Sha256 {
 public:
  Sha256() : context_(EVP_MD_CTX_new()) {
    EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr);
  }
  void add(std::string_view bytes) { EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size()); }
  std::string hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest, &length);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
      text += kDigits[digest[i] >> 4];
      text += kDigits[digest[i] & 15];
    }
    return text;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, DigestFree> context_;
};

}  // namespace

LogReading ReadLogEntries(const std::string& path,
                          const std::function<void(const LogEntry&)>& onEntry) {
  Sha256 digest;
  runlog::LogReadOptions options;
  options.damagedRows = runlog::DamagedRows::SkipAndCount;
  options.onBytes = [&digest](std::string_view bytes) { digest.add(bytes); };
  runlog::LogRead read = runlog::ReadRunLog(path, options, onEntry);
  LogReading reading;
  reading.error = std::move(read.error);
  reading.skippedRows = read.skippedRows;
  reading.skippedWhy = std::move(read.skippedWhy);
  if (reading.error.empty()) reading.sha256 = digest.hex();
  return reading;
}

}  // namespace pump::report
