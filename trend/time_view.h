// The time span the trend shows, and how the operator moves it: zoom around a
// point, zoom to a dragged span, pan, fit everything, or follow the newest
// minute. Plain arithmetic on axis milliseconds.
#pragma once

namespace pump::trend {

class TimeView {
 public:
  static constexpr double kFollowSpanMs = 60'000;
  static constexpr double kShortestSpanMs = 1'000;
  static constexpr double kEmptySpanMs = 60'000;

  double startMs() const { return startMs_; }
  double endMs() const { return endMs_; }
  double spanMs() const { return endMs_ - startMs_; }
  bool following() const { return following_; }

  // Scales the span by `factor` (below 1 zooms in) keeping `anchorMs` at the
  // same place on screen.
  void zoomAround(double anchorMs, double factor);
  // Shows the span between two times, in either order.
  void zoomTo(double aMs, double bMs);
  void panBy(double deltaMs);
  // Everything from the first to the newest time, with a little room.
  void fitAll(double firstMs, double lastMs);
  // Shows the newest minute and keeps it in view as `advance` brings newer
  // times; any other move stops following.
  void follow(double newestMs);
  void advance(double newestMs);
  void stopFollowing() { following_ = false; }

 private:
  void show(double startMs, double endMs);

  double startMs_ = 0;
  double endMs_ = kEmptySpanMs;
  bool following_ = false;
};

}  // namespace pump::trend
