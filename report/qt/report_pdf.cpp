#include "report/qt/report_pdf.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <optional>

#include "report/event_columns.h"
#include "report/qt/report_chart.h"
#include "texts/operator_texts.h"

namespace pump::report::qt {

namespace {

constexpr int kDotsPerInch = 300;
constexpr double kUnit = kDotsPerInch / 25.4;  // one millimetre
constexpr double kPageWidth = 210, kPageHeight = 297, kMargin = 16;
constexpr double kLine = 5.0, kEventLine = 3.9, kSmallLine = 3.9;
constexpr double kTitleHeight = 13, kChartHeight = 64, kHeadingHeight = 8;
constexpr double kFooterTop = kPageHeight - kMargin - 6, kEventsBottom = kFooterTop - 2;
constexpr double kFigureValueColumn = 36, kHeaderValueColumn = 16;
constexpr double kHalfWidth = (kPageWidth - 2 * kMargin) / 2, kColumnGap = 4;
constexpr double kEventPoints = 8, kEventTimeGap = 3;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QFont ReportFont(double points, bool bold = false) {
  QFont font(kReportFontFamily);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// Label and value pairs two to a row, down the left half first.
std::size_t RowsOfTwo(std::size_t lines) { return (lines + 1) / 2; }

// The figures beside one another; a skipped-rows line takes the whole width under them.
struct FigureBlock {
  std::vector<LabelledValue> paired;
  std::optional<LabelledValue> wide;
};

FigureBlock SplitFigures(std::vector<LabelledValue> lines, const LogReading& reading) {
  FigureBlock block;
  if (reading.skippedRows > 0 && !lines.empty()) {
    block.wide = lines.back();
    lines.pop_back();
  }
  block.paired = std::move(lines);
  return block;
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
        figures_(SplitFigures(FigureLines(log.figures, log.reading), log.reading)) {
    eventLines_ = eventLines();
    if (painter_.isActive()) planEvents();
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

  // Where page 1's event list starts, in millimetres from the top.
  double firstEventsTop() const {
    return kMargin + kTitleHeight + RowsOfTwo(header_.size()) * kLine + kHeadingHeight +
           kChartHeight + kHeadingHeight + RowsOfTwo(figures_.paired.size()) * kLine +
           (figures_.wide ? kLine : 0) + 3.5 * kSmallLine + kHeadingHeight;
  }

  // The events as time and text, and a last line for those left out.
  std::vector<LabelledValue> eventLines() const {
    std::vector<LabelledValue> lines;
    for (const auto& event : log_.figures.events)
      lines.push_back(EventText(event, log_.figures.start));
    if (log_.figures.events.empty()) lines.push_back({"", texts::kReportNoEvents});
    if (log_.figures.eventsLeftOut > 0)
      lines.push_back({"", texts::ReportEventsLeftOut(log_.figures.eventsLeftOut)});
    return lines;
  }

  void planEvents() {
    painter_.setFont(ReportFont(kEventPoints));
    const QFontMetricsF metrics(painter_.font());
    double timeWidth = 0;
    for (const auto& line : eventLines_)
      timeWidth = std::max(timeWidth, metrics.horizontalAdvance(Text(line.label)) / kUnit);
    timeColumn_ = std::min(timeWidth + kEventTimeGap, kHalfWidth / 2);
    EventHeights heights;
    for (const auto& line : eventLines_) {
      heights.fullWidth.push_back(eventHeight(line.value, kPageWidth - 2 * kMargin));
      heights.halfWidth.push_back(eventHeight(line.value, kHalfWidth - kColumnGap));
    }
    columns_ = PlaceEvents(heights, firstEventsTop(), kMargin, kEventsBottom);
  }

  QTextOption Wrapping() const {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
  }

  // A long text wraps under itself rather than being cut short.
  double eventHeight(const std::string& text, double columnWidth) {
    const QRectF room(0, 0, (columnWidth - timeColumn_) * kUnit, kPageHeight * kUnit);
    const double textHeight = painter_.boundingRect(room, Text(text), Wrapping()).height() / kUnit;
    const double lineHeight = QFontMetricsF(painter_.font()).lineSpacing() / kUnit;
    return kEventLine + std::max(0.0, textHeight - lineHeight);
  }

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
    write(kMargin, y + kHeadingHeight - 2.5, text, ReportFont(12, true));
    return y + kHeadingHeight;
  }

  void writeLabelled(double x, double y, const LabelledValue& line, double valueColumn,
                     double width) {
    write(x, y + kLine - 1.2, line.label, ReportFont(10), Qt::darkGray);
    writeElided(x + valueColumn, y + kLine - 1.2, line.value, width - valueColumn - 2, 10);
  }

  // `lines` two to a row, the first half of them down the left.
  double paintPaired(double y, const std::vector<LabelledValue>& lines, double valueColumn) {
    const std::size_t rows = RowsOfTwo(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const double x = kMargin + (i / rows) * kHalfWidth;
      writeLabelled(x, y + (i % rows) * kLine, lines[i], valueColumn, kHalfWidth);
    }
    return y + rows * kLine;
  }

  double paintTitleAndHeader(double y) {
    write(kMargin, y + 9, texts::kReportTitle, ReportFont(18, true));
    return paintPaired(y + kTitleHeight, header_, kHeaderValueColumn);
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
    y = paintPaired(heading(y, texts::kReportFiguresHeading), figures_.paired, kFigureValueColumn);
    if (figures_.wide) {
      writeLabelled(kMargin, y, *figures_.wide, kFigureValueColumn, kPageWidth - 2 * kMargin);
      y += kLine;
    }
    y += kSmallLine * 0.5;
    write(kMargin, y + kSmallLine - 1, texts::kReportVolumeMethod, ReportFont(8), Qt::darkGray);
    write(kMargin, y + 2 * kSmallLine - 1, texts::kReportRunningRule, ReportFont(8), Qt::darkGray);
    write(kMargin, y + 3 * kSmallLine - 1, texts::kReportNoAnswerRule, ReportFont(8), Qt::darkGray);
    return y + 3 * kSmallLine;
  }

  void paintEvents(double y) {
    heading(y, texts::kReportEventsHeading);
    const double columnWidth =
        columns_.columns == 1 ? kPageWidth - 2 * kMargin : kHalfWidth - kColumnGap;
    for (std::size_t i = 0; i < eventLines_.size(); ++i) {
      const EventPlace& place = columns_.places[i];
      while (page_ < place.page) nextPage();
      paintEvent(kMargin + place.column * kHalfWidth, place.top, columnWidth, eventLines_[i]);
    }
    paintFooter();
  }

  void paintEvent(double x, double top, double width, const LabelledValue& line) {
    painter_.setFont(ReportFont(kEventPoints));
    painter_.setPen(Qt::black);
    const double textTop = top + 0.4;
    const QRectF timeRoom(at(x, textTop), at(x + timeColumn_, textTop + kEventLine));
    painter_.drawText(timeRoom, Qt::AlignLeft | Qt::AlignTop, Text(line.label));
    const QRectF room(at(x + timeColumn_, textTop), at(x + width, textTop + kPageHeight));
    painter_.drawText(room, Text(line.value), Wrapping());
  }

  void nextPage() {
    paintFooter();
    writer_.newPage();
    ++page_;
  }

  void paintFooter() {
    painter_.setPen(QPen(Qt::gray, 0.15 * kUnit));
    painter_.drawLine(at(kMargin, kFooterTop), at(kPageWidth - kMargin, kFooterTop));
    write(kMargin, kFooterTop + 3.5, "日志文件：" + logFileName_, ReportFont(7.5), Qt::darkGray);
    write(kMargin, kFooterTop + 7, "SHA-256：" + log_.reading.sha256, ReportFont(7.5),
          Qt::darkGray);
    const QString number = Text(texts::ReportPageNumber(page_, columns_.pages));
    painter_.setFont(ReportFont(7.5));
    const double width = QFontMetricsF(painter_.font()).horizontalAdvance(number) / kUnit;
    write(kPageWidth - kMargin - width, kFooterTop + 3.5, number.toStdString(), ReportFont(7.5),
          Qt::darkGray);
  }

  QPdfWriter& writer_;
  QPainter painter_;
  const LogFigures& log_;
  std::string logFileName_;
  std::vector<LabelledValue> header_;
  FigureBlock figures_;
  std::vector<LabelledValue> eventLines_;
  double timeColumn_ = 0;
  EventColumns columns_;
  int page_ = 1;
};

}  // namespace

bool PaintReportPdf(const LogFigures& log, const std::string& logFileName,
                    const ReportIdentity& identity, QIODevice& device) {
  QPdfWriter writer(&device);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  writer.setResolution(kDotsPerInch);
  writer.setTitle(Text(texts::kReportTitle) + " " + Text(logFileName));
  writer.setCreator(kReportCreator);
  ReportPainter painter(writer, log, logFileName, identity);
  return painter.paint();
}

}  // namespace pump::report::qt
