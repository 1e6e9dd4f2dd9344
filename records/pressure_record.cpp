#include "records/pressure_record.h"

#include <stdexcept>

namespace pump::records {

void PressureRecord::add(double sample) {
  if (saveprcout() < kCapacity) samples_.push_back(sample);
}

double PressureRecord::savebuf(std::int32_t index) const {
  if (index < 0 || index > kCapacity) throw std::out_of_range("savebuf index out of range");
  if (index == 0 || index > saveprcout()) return 0;
  return samples_[static_cast<std::size_t>(index - 1)];
}

}  // namespace pump::records
