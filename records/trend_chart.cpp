#include "records/trend_chart.h"

#include "platform/number_text.h"

namespace pump::records {

void TrendChart::setUp() {
  picture_.setScale(0, 10, 100, -4);
  prcurve_[1] = 0;
}

void TrendChart::update(std::string_view currentPressureCaption) {
  picture_.line(0, 0, 100, 0, std::nullopt);
  for (float y : {2.5F, 5.0F, 7.5F}) picture_.line(0, y, 1.5F, y, std::nullopt);
  const auto slot = [this](int index) -> double& {
    return prcurve_.at(static_cast<std::size_t>(index + 1));
  };
  if (const auto sample = ToDouble(currentPressureCaption)) slot(itime_) = *sample;
  picture_.line(static_cast<float>(itime_ - 1), static_cast<float>(slot(itime_ - 1)),
                static_cast<float>(itime_), static_cast<float>(slot(itime_)), Rgb{255, 0, 0});
  if (++itime_ == 100) {
    itime_ = 0;
    picture_.clear();
  }
}

}  // namespace pump::records
