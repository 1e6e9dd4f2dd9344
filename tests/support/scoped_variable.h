// An environment variable set for one test and put back as it was after:
// HOME pointed at a scratch folder, so that the console's record and
// documents folders land there; TZ for a time zone.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace pump::testing {

class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = ::getenv(name_.c_str())) saved_ = old;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (saved_) {
      ::setenv(name_.c_str(), saved_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// Points HOME at the given bytes until it goes.
struct HomeAt : ScopedVariable {
  explicit HomeAt(const std::string& bytes) : ScopedVariable("HOME", bytes) {}
};

}  // namespace pump::testing
