#include "records/pressure_record.h"

namespace pump::records {

void PressureRecord::add(double sample) {
  if (count() < kCapacity) samples_.push_back(sample);
}

}  // namespace pump::records
