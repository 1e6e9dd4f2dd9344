// HOME pointed elsewhere for one test, so the console's record and documents
// folders land in a scratch folder.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace pump::testing {

// Points HOME at the given bytes until it goes.
class HomeAt {
 public:
  explicit HomeAt(const std::string& bytes) {
    if (const char* home = std::getenv("HOME")) saved_ = home;
    setenv("HOME", bytes.c_str(), 1);
  }
  ~HomeAt() {
    if (saved_) {
      setenv("HOME", saved_->c_str(), 1);
    } else {
      unsetenv("HOME");
    }
  }
  HomeAt(const HomeAt&) = delete;
  HomeAt& operator=(const HomeAt&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace pump::testing
