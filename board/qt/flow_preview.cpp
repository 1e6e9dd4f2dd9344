#include "board/qt/flow_preview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "board/visible_text.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {

namespace {

const QColor kPumpColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                               QColor(0x2c, 0xa0, 0x2c), QColor(0x94, 0x67, 0xbd)};

QString Shown(const std::string& text) { return QString::fromStdString(VisibleText(text)); }

}  // namespace

FlowPreview::FlowPreview() {
  setObjectName("groupPreview");
  setMinimumHeight(180);
}

void FlowPreview::plan(std::optional<group::GroupProgram> program) {
  program_ = std::move(program);
  update();
}

void FlowPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(40, 10, -10, -24);
  painter.setPen(Qt::gray);
  painter.drawRect(area);
  if (!program_) return;
  std::vector<program::Program> parts;
  for (std::size_t i = 0; i < program_->pumpIds.size(); ++i) parts.push_back(program_->part(i));
  const long seconds = std::max(1L, parts.front().totalSeconds());
  double most = 1;
  for (const group::GroupStep& step : program_->steps)
    most = std::max({most, double(step.totalStartMlMin), double(step.totalEndMlMin)});
  const auto at = [&](double second, double flow) {
    return QPointF(area.left() + area.width() * second / seconds,
                   area.bottom() - area.height() * flow / most);
  };
  painter.setPen(Qt::black);
  painter.drawText(QRectF(0, area.top() - 6, 36, 14), Qt::AlignRight, QString::number(most));
  painter.drawText(QRectF(area.right() - 120, area.bottom() + 4, 120, 16), Qt::AlignRight,
                   QString::fromStdString(program::HoursMinutesSeconds(seconds)));
  for (std::size_t i = 0; i <= parts.size(); ++i) {
    QPolygonF line;
    for (int n = 0; n <= 200; ++n) {
      const double second = seconds * n / 200.0;
      double flow = 0;
      for (std::size_t p = 0; p < parts.size(); ++p)
        if (i == parts.size() || p == i)
          flow += parts[p].plannedFlowAt(std::llround(second * 1000));
      line << at(second, flow);
    }
    painter.setPen(QPen(i == parts.size() ? QColor(Qt::black) : kPumpColours[i % 4],
                        i == parts.size() ? 2.0 : 1.5,
                        i == parts.size() ? Qt::DashLine : Qt::SolidLine));
    painter.drawPolyline(line);
    const QString name = i == parts.size() ? texts::kGroupTotal : Shown(program_->pumpIds[i]);
    painter.drawText(QPointF(area.left() + 6 + 70 * static_cast<double>(i), area.bottom() + 16),
                     name);
  }
}

}  // namespace pump::board::qt
