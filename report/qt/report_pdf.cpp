#include "report/qt/report_pdf.h"

#include <pwd.h>
#include <unistd.h>

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSysInfo>
#include <algorithm>
#include <cmath>

#include "report/qt/report_chart.h"
#include "texts/operator_texts.h"

namespace pump::report::qt {

namespace {

constexpr int kDotsPerInch = 300;
constexpr double kUnit = kDotsPerInch / 25.4;  // one millimetre
constexpr double kPageWidth = 210, kPageHeight = 297, kMargin = 16;
constexpr double kLine = 5.2, kEventLine = 4.1, kSmallLine = 4.2;
constexpr double kTitleHeight = 14, kChartHeight = 74, kHeadingHeight = 9;
constexpr double kFooterTop = kPageHeight - kMargin - 6;
constexpr double kValueColumn = 42, kHeaderValueColumn = 16;
constexpr double kHalfWidth = (kPageWidth - 2 * kMargin) / 2;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QFont ReportFont(double points, bool bold = false) {
  QFont font(kReportFontFamily);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// Where page 1's event list starts, in millimetres from the top.
double FirstEventsTop(std::size_t headerLines, std::size_t figureLines) {
  return kMargin + kTitleHeight + (headerLines + 1) / 2 * kLine + kHeadingHeight + kChartHeight +
         kHeadingHeight + figureLines * kLine + 4 * kSmallLine + kHeadingHeight;
}

std::size_t EventsFitting(double top) {
  return static_cast<std::size_t>(std::max(0.0, std::floor((kFooterTop - 2 - top) / kEventLine)));
}

class ReportPainter {
 public:
  ReportPainter(QPdfWriter& writer, const LogFigures& log, std::string logFileName,
                const ReportIdentity& identity)
      : writer_(writer),
        painter_(&writer),
        log_(log),
        logFileName_(std::move(logFileName)),
        header_(HeaderLines(log.figures, identity)),
        figureLines_(FigureLines(log.figures, log.reading)) {
    const std::size_t events = std::max<std::size_t>(log.figures.events.size(), 1) +
                               (log.figures.eventsLeftOut > 0 ? 1 : 0);
    const std::size_t onFirst = EventsFitting(FirstEventsTop(header_.size(), figureLines_.size()));
    const std::size_t perPage = EventsFitting(kMargin);
    pages_ =
        1 + static_cast<int>(events > onFirst ? (events - onFirst + perPage - 1) / perPage : 0);
  }

  bool paint() {
    if (!painter_.isActive()) return false;
    double y = kMargin;
    y = paintTitleAndHeader(y);
    y = paintChart(y);
    y = paintFigures(y);
    paintEvents(y);
    return painter_.end();
  }

 private:
  QPointF at(double x, double y) const { return {x * kUnit, y * kUnit}; }

  void write(double x, double y, const std::string& text, const QFont& font,
             QColor colour = Qt::black) {
    painter_.setFont(font);
    painter_.setPen(colour);
    painter_.drawText(at(x, y), Text(text));
  }

  void writeElided(double x, double y, const std::string& text, double widthMm,
                   double points = 8.5) {
    painter_.setFont(ReportFont(points));
    painter_.setPen(Qt::black);
    const QString shown =
        QFontMetricsF(painter_.font()).elidedText(Text(text), Qt::ElideRight, widthMm * kUnit);
    painter_.drawText(at(x, y), shown);
  }

  double heading(double y, const char* text) {
    write(kMargin, y + kHeadingHeight - 3, text, ReportFont(12, true));
    return y + kHeadingHeight;
  }

  // The header's lines two to a row: label and value, then label and value.
  double paintTitleAndHeader(double y) {
    write(kMargin, y + 9, texts::kReportTitle, ReportFont(18, true));
    y += kTitleHeight;
    for (std::size_t i = 0; i < header_.size(); ++i) {
      const double x = kMargin + (i % 2) * kHalfWidth;
      write(x, y + kLine - 1.2, header_[i].label, ReportFont(10), Qt::darkGray);
      writeElided(x + kHeaderValueColumn, y + kLine - 1.2, header_[i].value,
                  kHalfWidth - kHeaderValueColumn - 2, 10);
      if (i % 2 == 1 || i + 1 == header_.size()) y += kLine;
    }
    return y;
  }

  double paintChart(double y) {
    y = heading(y, texts::kReportChartHeading);
    const QRectF area(at(kMargin, y), at(kPageWidth - kMargin, y + kChartHeight));
    painter_.setFont(ReportFont(8));
    if (log_.figures.readings == 0) {
      painter_.setPen(QPen(Qt::darkGray, 0.2 * kUnit));
      painter_.drawRect(area.adjusted(0, kUnit * 4, 0, -kUnit * 4));
      write(kMargin + 10, y + kChartHeight / 2, texts::kReportNoReading, ReportFont(12));
    } else {
      DrawChart(painter_, area, kUnit, log_.figures);
    }
    return y + kChartHeight;
  }

  double paintFigures(double y) {
    y = heading(y, texts::kReportFiguresHeading);
    for (const auto& line : figureLines_) {
      write(kMargin, y + kLine - 1.2, line.label, ReportFont(10), Qt::darkGray);
      writeElided(kMargin + kValueColumn, y + kLine - 1.2, line.value,
                  kPageWidth - 2 * kMargin - kValueColumn, 10);
      y += kLine;
    }
    y += kSmallLine * 0.5;
    write(kMargin, y + kSmallLine - 1, texts::kReportVolumeMethod, ReportFont(8), Qt::darkGray);
    write(kMargin, y + 2 * kSmallLine - 1, texts::kReportRunningRule, ReportFont(8), Qt::darkGray);
    write(kMargin, y + 3 * kSmallLine - 1, texts::kReportNoAnswerRule, ReportFont(8), Qt::darkGray);
    return y + 3.5 * kSmallLine;
  }

  void paintEvents(double y) {
    y = heading(y, texts::kReportEventsHeading);
    const auto& events = log_.figures.events;
    if (events.empty()) write(kMargin, y + kEventLine - 1, texts::kReportNoEvents, ReportFont(8.5));
    for (const auto& event : events) {
      if (y + kEventLine > kFooterTop - 2) y = nextPage();
      const LabelledValue line = EventText(event, log_.figures.start);
      writeElided(kMargin, y + kEventLine - 1, line.label, 36);
      writeElided(kMargin + 38, y + kEventLine - 1, line.value, kPageWidth - 2 * kMargin - 38);
      y += kEventLine;
    }
    if (log_.figures.eventsLeftOut > 0) {
      if (y + kEventLine > kFooterTop - 2) y = nextPage();
      write(kMargin, y + kEventLine - 1, texts::ReportEventsLeftOut(log_.figures.eventsLeftOut),
            ReportFont(8.5));
    }
    paintFooter();
  }

  double nextPage() {
    paintFooter();
    writer_.newPage();
    ++page_;
    return kMargin;
  }

  void paintFooter() {
    painter_.setPen(QPen(Qt::gray, 0.15 * kUnit));
    painter_.drawLine(at(kMargin, kFooterTop), at(kPageWidth - kMargin, kFooterTop));
    write(kMargin, kFooterTop + 3.5, "日志文件：" + logFileName_, ReportFont(7.5), Qt::darkGray);
    write(kMargin, kFooterTop + 7, "SHA-256：" + log_.reading.sha256, ReportFont(7.5),
          Qt::darkGray);
    const QString number = Text(texts::ReportPageNumber(page_, pages_));
    painter_.setFont(ReportFont(7.5));
    const double width = QFontMetricsF(painter_.font()).horizontalAdvance(number) / kUnit;
    write(kPageWidth - kMargin - width, kFooterTop + 3.5, number.toStdString(), ReportFont(7.5),
          Qt::darkGray);
  }

  QPdfWriter& writer_;
  QPainter painter_;
  const LogFigures& log_;
  std::string logFileName_;
  std::vector<LabelledValue> header_, figureLines_;
  int page_ = 1, pages_ = 1;
};

std::string UserName() {
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) return entry->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : std::to_string(::getuid());
}

}  // namespace

ReportIdentity ThisComputer(std::string pumpId) {
  const std::string host = QSysInfo::machineHostName().toStdString();
  return {pumpId.empty() ? host : std::move(pumpId), host, UserName()};
}

std::string WriteReportPdf(const LogFigures& log, const std::string& logFileName,
                           const ReportIdentity& identity, const std::string& pdfPath) {
  QPdfWriter writer(Text(pdfPath));
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(kDotsPerInch);
  writer.setTitle(Text(texts::kReportTitle) + " " + Text(logFileName));
  writer.setCreator("pump-console");
  ReportPainter painter(writer, log, logFileName, identity);
  if (!painter.paint()) return "无法写入 " + pdfPath;
  return {};
}

ReportOutcome WriteRunReport(const std::string& logPath, const TimeRange& range,
                             const ReportIdentity& identity, const std::string& pdfPath) {
  const LogFigures log = FiguresOfLog(logPath, range);
  if (!log.reading.error.empty()) return {true, log.reading.error};
  const std::string name = QFileInfo(Text(logPath)).fileName().toStdString();
  return {false, WriteReportPdf(log, name, identity, pdfPath)};
}

}  // namespace pump::report::qt
