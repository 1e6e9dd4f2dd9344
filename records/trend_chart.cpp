#include "records/trend_chart.h"

namespace pump::records {

void TrendChart::setUp() {
  picture_.setScale(0, 10, 100, -4);
  prcurve_[1] = 0;
}

void TrendChart::update(std::string_view) {}

}  // namespace pump::records
