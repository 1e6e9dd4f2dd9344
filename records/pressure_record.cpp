#include "records/pressure_record.h"

namespace pump::records {

bool PressureRecord::add(double sample) {
  if (full()) return false;
  samples_.push_back(sample);
  return true;
}

}  // namespace pump::records
