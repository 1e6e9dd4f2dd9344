// The trend window: a session's pressure on a real time axis, with the limit,
// flow setpoint, RUN periods and link losses; zoom, pan, follow, and export.
// It shows the console's live session, or a run log opened from disk.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "trend/live_trend.h"
#include "trend/trend_picture.h"

class QAction;
class QLabel;
class QTimer;

namespace pump::trend::qt {

class TrendChartView;

class TrendWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `live` may be null: then only logs opened from the window are shown.
  explicit TrendWindow(const LiveTrend* live, QWidget* parent = nullptr);
  ~TrendWindow() override;

  // Each returns an empty text on success, else what went wrong.
  QString openLog(const QString& path);
  QString exportImage(const QString& path);
  QString exportData(const QString& path, bool visibleSpanOnly);

  void showAll();
  void setFollowing(bool following);

  const Session* shownSession() const;
  const TimeView& view() const { return view_; }
  TrendChartView* chartView() const { return chart_; }
  QString readout() const;
  int redrawCount() const { return redraws_; }

  // The chart is repainted at most this often, however fast rows come.
  static constexpr int kRepaintIntervalMs = 100;

 private:
  void buildToolBar();
  void connectChart();
  void tick();
  void redraw();
  void placeViewOnce(const Session& session);
  double newestMs(const Session& session) const;
  void showReadout(double timeMs);
  void viewMoved();
  void updateTitle();

  void askOpenLog();
  void askExportImage();
  void askExportData();

  const LiveTrend* live_;
  std::unique_ptr<Session> loaded_;
  QString loadedName_;
  std::string liveName_;
  TimeView view_;
  std::optional<ValueRange> fixedRange_;
  TrendChartView* chart_;
  QLabel* readout_;
  QTimer* repaintTimer_;
  QAction* followAction_ = nullptr;
  const Session* drawnSession_ = nullptr;
  std::uint64_t drawnVersion_ = 0;
  bool dirty_ = true;
  bool viewPlaced_ = false;
  int redraws_ = 0;
};

}  // namespace pump::trend::qt
