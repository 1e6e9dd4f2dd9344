// The trend window: a session's pressure on a real time axis, with the limit,
// flow setpoint, RUN periods and link losses; zoom, pan, follow, and export.
// It shows the console's live session, or a run log opened from disk; a log
// is read on a thread of its own, with its progress and a cancel button in
// the status line, while the window and the console carry on.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "trend/live_trend.h"
#include "trend/log_reader.h"
#include "trend/trend_picture.h"

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace pump::trend::qt {

class LogLoadTask;
class TrendChartView;

class TrendWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `live` may be null: then only logs opened from the window are shown.
  explicit TrendWindow(const LiveTrend* live, QWidget* parent = nullptr);
  ~TrendWindow() override;

  // Starts reading a run log; the window shows what it showed until the log
  // is whole, then shows the log. A load under way is dropped for the new one.
  void startOpeningLog(const QString& path);
  // Stops a load under way; the window stays as it was.
  void cancelOpeningLog();
  bool openingLog() const { return loadTask_ != nullptr; }
  // Opens a log and waits for it with the event loop turning: empty once it
  // is shown (or was cancelled), else why it was refused.
  QString openLog(const QString& path);

  // Each returns an empty text on success, else what went wrong.
  QString exportImage(const QString& path);
  QString exportData(const QString& path, bool visibleSpanOnly);
  // The run report (PDF) of the shown session's log, its shown span or all of it.
  QString exportReport(const QString& path, bool visibleSpanOnly);
  // The log file behind the shown session: the log opened, or for the live
  // session the newest log in the log folder. Empty if there is none.
  QString shownLogPath() const;

  // Back from a log opened from disk to the live session, if there is one.
  void showLiveSession();
  void showAll();
  void setFollowing(bool following);

  const Session* shownSession() const;
  const TimeView& view() const { return view_; }
  TrendChartView* chartView() const { return chart_; }
  QString readout() const;
  int redrawCount() const { return redraws_; }

  // The chart is repainted at most this often, however fast rows come.
  static constexpr int kRepaintIntervalMs = 100;

 signals:
  // A load ended: `shown` if the log is now shown, else `error` says why it
  // was refused (empty when it was cancelled).
  void logOpenEnded(bool shown, const QString& error);

 private:
  void buildToolBar();
  void buildLoadBar();
  void finishOpeningLog();
  void showLoadedLog(LogLoad load, const QString& path);
  void setLoadBarShown(bool shown);
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
  void askExportReport();

  const LiveTrend* live_;
  std::unique_ptr<Session> loaded_;
  QString loadedName_;
  QString loadedPath_;
  std::string liveName_;
  TimeView view_;
  std::optional<ValueRange> fixedRange_;
  TrendChartView* chart_;
  QLabel* readout_;
  QTimer* repaintTimer_;
  QAction* followAction_ = nullptr;
  QAction* openAction_ = nullptr;
  LogLoadTask* loadTask_ = nullptr;
  QString loadingPath_;
  QProgressBar* loadProgress_ = nullptr;
  QPushButton* loadCancel_ = nullptr;
  const Session* drawnSession_ = nullptr;
  std::uint64_t drawnVersion_ = 0;
  bool dirty_ = true;
  bool viewPlaced_ = false;
  int redraws_ = 0;
};

}  // namespace pump::trend::qt
