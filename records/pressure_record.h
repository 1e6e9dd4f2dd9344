// The record of pressure readings that the save writes out.
#pragma once

#include <cstdint>
#include <vector>

namespace pump::records {

class PressureRecord {
 public:
  static constexpr std::int32_t kCapacity = 1'000'000;

  // Appends a reading; past the capacity further readings are not recorded.
  // False when this one was not.
  bool add(double sample);
  bool full() const { return count() >= kCapacity; }
  std::int32_t count() const { return static_cast<std::int32_t>(samples_.size()); }
  const std::vector<double>& samples() const { return samples_; }

 private:
  std::vector<double> samples_;
};

}  // namespace pump::records
