#include "trend/qt/trend_window.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cmath>

#include "runlog/local_time.h"
#include "texts/operator_texts.h"
#include "trend/qt/trend_chart_view.h"

namespace pump::trend::qt {

namespace {

std::optional<std::size_t> NearestReading(const Session& session, double timeMs) {
  // Readings are most rows; a bounded look either way is plenty.
  constexpr std::size_t kLook = 4096;
  const std::size_t at = session.lowerBound(timeMs);
  std::optional<std::size_t> best;
  auto consider = [&](std::size_t i) {
    if (!session.isReading(i)) return false;
    if (!best ||
        std::abs(session.axisTimeMs(i) - timeMs) < std::abs(session.axisTimeMs(*best) - timeMs)) {
      best = i;
    }
    return true;
  };
  for (std::size_t i = at; i < session.size() && i < at + kLook; ++i) {
    if (consider(i)) break;
  }
  for (std::size_t i = at; i-- > 0 && i + kLook > at;) {
    if (consider(i)) break;
  }
  return best;
}

QString Number(float value, const char* unit) {
  return std::isnan(value) ? QString("—") : QString::number(value) + " " + unit;
}

// A reading kept for an older stretch held at a coarser resolution stands
// for the lowest or the highest reading of that stretch.
QString SummaryNote(Summary summary) {
  switch (summary) {
    case Summary::Lowest:
      return "（区间最低）";
    case Summary::Highest:
      return "（区间最高）";
    case Summary::None:
      break;
  }
  return {};
}

}  // namespace

TrendWindow::TrendWindow(const LiveTrend* live, QWidget* parent)
    : QMainWindow(parent),
      live_(live),
      chart_(new TrendChartView(this)),
      readout_(new QLabel(this)),
      repaintTimer_(new QTimer(this)) {
  setObjectName("trendWindow");
  setCentralWidget(chart_);
  readout_->setObjectName("trendReadout");
  statusBar()->addWidget(readout_, 1);
  buildToolBar();
  buildLoadBar();
  connectChart();
  connect(repaintTimer_, &QTimer::timeout, this, &TrendWindow::tick);
  repaintTimer_->start(kRepaintIntervalMs);
  resize(1200, 640);
  updateTitle();
  if (live_) setFollowing(true);
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::buildToolBar() {
  QToolBar* bar = addToolBar("趋势图");
  bar->setObjectName("trendToolBar");
  bar->setMovable(false);
  QAction* all = bar->addAction("全部", this, &TrendWindow::showAll);
  all->setShortcut(QKeySequence(Qt::Key_Home));
  followAction_ = bar->addAction("跟随", this, [this](bool on) { setFollowing(on); });
  followAction_->setCheckable(true);
  bar->addSeparator();
  bar->addAction("导出图片…", this, &TrendWindow::askExportImage);
  bar->addAction("导出数据…", this, &TrendWindow::askExportData);
  bar->addAction(texts::kReportButton, this, &TrendWindow::askExportReport);
  bar->addSeparator();
  openAction_ = bar->addAction("打开日志…", this, &TrendWindow::askOpenLog);
}

void TrendWindow::connectChart() {
  connect(chart_, &TrendChartView::zoomAroundRequested, this, [this](double at, double factor) {
    view_.zoomAround(at, factor);
    viewMoved();
  });
  connect(chart_, &TrendChartView::zoomToRequested, this,
          [this](double from, double to, double low, double high) {
            view_.zoomTo(from, to);
            fixedRange_ = ValueRange{std::min(low, high), std::max(low, high)};
            viewMoved();
          });
  connect(chart_, &TrendChartView::panRequested, this, [this](double delta) {
    view_.panBy(delta);
    viewMoved();
  });
  connect(chart_, &TrendChartView::hovered, this, &TrendWindow::showReadout);
  connect(chart_, &TrendChartView::left, this, [this] {
    readout_->clear();
    chart_->showCursor(nullptr);
  });
}

const Session* TrendWindow::shownSession() const {
  if (loaded_) return loaded_.get();
  if (live_ && live_->started()) return &live_->session();
  return nullptr;
}

double TrendWindow::newestMs(const Session& session) const {
  if (!loaded_ && live_) return live_->axisTimeMs(std::chrono::steady_clock::now());
  return session.lastTimeMs();
}

void TrendWindow::viewMoved() {
  viewPlaced_ = true;
  followAction_->setChecked(view_.following());
  dirty_ = true;
}

void TrendWindow::showLiveSession() {
  if (!loaded_ || !live_) return;
  loaded_.reset();
  loadedName_.clear();
  loadedPath_.clear();
  fixedRange_.reset();
  viewPlaced_ = false;
  view_.stopFollowing();
  updateTitle();
  dirty_ = true;
}

void TrendWindow::showAll() {
  if (const Session* s = shownSession()) view_.fitAll(s->firstTimeMs(), newestMs(*s));
  fixedRange_.reset();
  viewMoved();
}

void TrendWindow::setFollowing(bool following) {
  const Session* s = shownSession();
  if (following) {
    view_.follow(s ? newestMs(*s) : view_.endMs());
    fixedRange_.reset();
  } else {
    view_.stopFollowing();
  }
  viewMoved();
  viewPlaced_ = s && !s->empty();
}

// The first rows of a session decide where the view starts: a live session
// follows its newest minute, a log is shown whole.
void TrendWindow::placeViewOnce(const Session& session) {
  if (viewPlaced_ || session.empty()) return;
  if (!loaded_ && live_) {
    view_.follow(newestMs(session));
  } else {
    view_.fitAll(session.firstTimeMs(), session.lastTimeMs());
  }
  followAction_->setChecked(view_.following());
  viewPlaced_ = true;
}

void TrendWindow::tick() {
  if (!isVisible()) return;
  if (!loaded_ && live_ && live_->name() != liveName_) {
    liveName_ = live_->name();  // a new connection: a new session
    viewPlaced_ = false;
    updateTitle();
  }
  const Session* s = shownSession();
  if (!s) return;
  placeViewOnce(*s);
  if (view_.following()) {
    view_.advance(newestMs(*s));
    dirty_ = true;
  }
  if (s != drawnSession_ || s->version() != drawnVersion_) dirty_ = true;
  if (dirty_) redraw();
}

void TrendWindow::redraw() {
  const Session* s = shownSession();
  if (!s) return;
  PictureRequest request{view_, chart_->plotWidth(), newestMs(*s), fixedRange_};
  if (!loaded_ && live_) request.program = &live_->program();
  chart_->draw(ComposePicture(*s, request));
  drawnSession_ = s;
  drawnVersion_ = s->version();
  dirty_ = false;
  ++redraws_;
}

void TrendWindow::showReadout(double timeMs) {
  const Session* s = shownSession();
  const auto nearest = s ? NearestReading(*s, timeMs) : std::nullopt;
  if (!nearest) {
    chart_->showCursor(nullptr);
    return readout_->clear();
  }
  const double at = s->axisTimeMs(*nearest);
  chart_->showCursor(&at);
  const Row row = s->row(*nearest);
  const std::string time = runlog::FormatLogTime(row.wallMs, row.utcOffsetMinutes);
  readout_->setText(QString::fromStdString(time.substr(0, 10) + " " + time.substr(11, 12)) +
                    "    压力 " + Number(row.pressure, "MPa") + SummaryNote(s->summary(*nearest)) +
                    "    上限 " + Number(row.pressureLimit, "MPa") + "    流量 " +
                    Number(row.flow, "ml/min") + "    " + (row.pumpRunning ? "RUN" : "STOP"));
}

QString TrendWindow::readout() const { return readout_->text(); }

void TrendWindow::updateTitle() {
  QString name = loadedName_;
  if (name.isEmpty() && live_ && live_->started()) name = QString::fromStdString(live_->name());
  setWindowTitle(name.isEmpty() ? QString("趋势图") : "趋势图 - " + name);
}

}  // namespace pump::trend::qt
