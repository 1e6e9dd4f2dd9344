// Draws the console's artwork: the main window's background picture, the
// sixteen key faces and the window icon. The PNG files it writes are kept in
// assets/; run it again after changing a drawing:
//   build/tools/make_assets assets
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

constexpr QColor kPureBlue{0, 0, 255};

// Picture1 sits at 40, 312 and is 665 x 145 pixels; its 2-pixel sunken border
// leaves 661 x 141 for the drawing, whose y runs from 10 (top) to -4 (bottom).
constexpr QRect kChartBox{40, 312, 665, 145};
constexpr int kChartBorder = 2;
constexpr double kChartTopValue = 10;
constexpr double kChartBottomValue = -4;

// The read-out labels cover x 448..615, y 40..137; the display area lies just
// round them so no panel colour shows between the labels.
constexpr QRect kDisplayArea{446, 37, 174, 103};
constexpr QRect kPanelFrame{432, 5, 210, 282};

QFont Font(const QString& family, int pixelSize, bool bold) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

double ChartY(double value) {
  const double top = kChartBox.top() + kChartBorder;
  const double height = kChartBox.height() - 2 * kChartBorder;
  return top + (kChartTopValue - value) / (kChartTopValue - kChartBottomValue) * height;
}

void DrawPanel(QPainter& p, const QRect& area) {
  QLinearGradient panel(0, 0, 0, area.height());
  panel.setColorAt(0, QColor(36, 84, 206));
  panel.setColorAt(1, QColor(96, 140, 236));
  p.fillRect(area, panel);
}

// Light streaks sweeping across a darker blue field, upper left and middle.
void DrawStreaks(QPainter& p) {
  const QRectF field(100, 0, 320, 280);
  // An elliptical shade that fades out before the field's edges.
  p.save();
  p.translate(field.center());
  p.scale(1.0, field.height() / field.width());
  QRadialGradient dark(QPointF(0, 0), field.width() / 2);
  dark.setColorAt(0, QColor(8, 28, 120));
  dark.setColorAt(0.55, QColor(14, 40, 140, 235));
  dark.setColorAt(1, QColor(36, 84, 206, 0));
  p.fillRect(QRectF(-field.width() / 2, -field.width() / 2, field.width(), field.width()), dark);
  p.restore();

  p.save();
  p.setClipRect(field);
  for (int i = 0; i < 22; ++i) {
    const double t = i / 21.0;
    const double startY = 270 - 150 * t;
    const double endY = 10 + 90 * std::sin(t * 3.1);
    QPainterPath streak(QPointF(95, startY));
    streak.cubicTo(QPointF(200, startY - 40 - 30 * t), QPointF(300, endY + 60), QPointF(425, endY));
    const int alpha = 40 + static_cast<int>(140 * std::fabs(std::sin(i * 1.7)));
    const double width = 0.8 + 2.2 * std::fabs(std::cos(i * 2.3));
    // Each streak fades in from the left and out to the right of the field.
    QLinearGradient fade(field.left(), 0, field.right(), 0);
    fade.setColorAt(0, QColor(170, 225, 255, 0));
    fade.setColorAt(0.3, QColor(170, 225, 255, alpha));
    fade.setColorAt(0.8, QColor(170, 225, 255, alpha));
    fade.setColorAt(1, QColor(170, 225, 255, 0));
    p.setPen(QPen(QBrush(fade), width, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(streak);
  }
  p.restore();
}

void DrawModelCode(QPainter& p) {
  QFont font = Font("DejaVu Sans", 44, true);
  font.setItalic(true);
  QPainterPath code;
  code.addText(QPointF(148, 258), font, QStringLiteral("LP-200"));
  p.setPen(QPen(QColor(0, 40, 200), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(code);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(code);
}

void DrawInstrumentFrame(QPainter& p) {
  p.setPen(QPen(QColor(150, 235, 255), 3));
  p.setBrush(QColor(22, 58, 176));
  p.drawRoundedRect(QRectF(kPanelFrame).adjusted(1.5, 1.5, -1.5, -1.5), 12, 12);
  // The display area must be exactly pure blue: no antialiased edge.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(kDisplayArea, kPureBlue);
  p.setRenderHint(QPainter::Antialiasing, true);
}

void DrawChartTexts(QPainter& p) {
  p.setPen(Qt::black);
  p.setFont(Font("Noto Sans CJK SC", 12, false));
  p.drawText(QRect(15, 283, 300, 18), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral("当前泵压力 (单位: Mpa)"));

  struct Tick {
    double value;
    const char* text;
    bool bold;
  };
  constexpr Tick kTicks[] = {{10, "10", true},
                             {7.5, "7.5", false},
                             {5.0, "5.0", false},
                             {2.5, "2.5", false},
                             {0.0, "0.0", true}};
  for (const Tick& tick : kTicks) {
    p.setFont(Font("DejaVu Sans", 10, tick.bold));
    // The minor marks' deep navy stays above 4.5:1 on the panel's blue here.
    p.setPen(tick.bold ? QColor(Qt::black) : QColor(0, 0, 48));
    const int centre = static_cast<int>(std::lround(ChartY(tick.value)));
    p.drawText(QRect(2, centre - 7, 36, 14), Qt::AlignRight | Qt::AlignVCenter, tick.text);
  }
}

void DrawChartBox(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(kChartBox, Qt::white);
  p.setPen(QColor(48, 48, 48));
  p.setBrush(Qt::NoBrush);
  p.drawRect(kChartBox.adjusted(0, 0, -1, -1));
}

QImage Background() {
  QImage image(733, 503, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  DrawPanel(p, image.rect());
  DrawStreaks(p);
  DrawModelCode(p);
  DrawInstrumentFrame(p);
  DrawChartTexts(p);
  DrawChartBox(p);
  return image;
}

// A blue key with a lighter top edge and a white glyph.
QImage KeyFace(const QString& glyph) {
  QImage image(39, 21, QImage::Format_RGB32);
  image.fill(QColor(24, 72, 222));
  QPainter p(&image);
  QLinearGradient body(0, 0, 0, 21);
  body.setColorAt(0, QColor(52, 104, 240));
  body.setColorAt(1, QColor(12, 48, 190));
  p.fillRect(image.rect(), body);
  p.setPen(QColor(165, 200, 255));
  p.drawLine(0, 0, 38, 0);
  p.setPen(QColor(110, 155, 250));
  p.drawLine(0, 1, 38, 1);
  p.drawLine(0, 1, 0, 20);
  p.setPen(QColor(0, 26, 120));
  p.drawLine(0, 20, 38, 20);
  p.drawLine(38, 1, 38, 20);

  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  if (glyph == QStringLiteral("up") || glyph == QStringLiteral("down")) {
    const bool up = glyph == QStringLiteral("up");
    const QPolygonF triangle = up ? QPolygonF{{13.5, 15}, {25.5, 15}, {19.5, 6}}
                                  : QPolygonF{{13.5, 6}, {25.5, 6}, {19.5, 15}};
    p.drawPolygon(triangle);
    return image;
  }
  const int size = glyph.size() <= 1 ? 14 : (glyph.size() == 3 ? 11 : 10);
  p.setFont(Font("DejaVu Sans", size, true));
  p.setPen(Qt::white);
  p.drawText(QRect(0, 1, 39, 20), Qt::AlignCenter, glyph);
  return image;
}

// 256 colours: the most frequent ones, every other pixel mapped to its nearest,
// without dithering, so the white ground stays clean.
QImage ToIndexed(const QImage& image) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  }
  std::vector<std::pair<int, QRgb>> byCount;
  for (const auto& [colour, count] : counts) byCount.emplace_back(count, colour);
  std::sort(byCount.rbegin(), byCount.rend());
  QList<QRgb> table;
  for (std::size_t i = 0; i < byCount.size() && i < 256; ++i) table << byCount[i].second;
  return image.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
}

// Four green leaves in a pinwheel round an orange centre, on white, drawn on a
// 32-unit grid at any size (32 px for the window, larger for desktop menus).
QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.translate(16, 16);
  QPainterPath leaf(QPointF(0, 0));
  // Each leaf leans the same way round, which makes the pinwheel.
  leaf.cubicTo(QPointF(-7, -4), QPointF(-4, -13), QPointF(6, -14));
  leaf.cubicTo(QPointF(7, -8), QPointF(4, -2), QPointF(0, 0));
  for (int quarter = 0; quarter < 4; ++quarter) {
    p.setPen(QPen(QColor(20, 100, 30), 1));
    p.setBrush(QColor(60, 175, 60));
    p.drawPath(leaf);
    p.setPen(QPen(QColor(170, 230, 150), 1));
    p.drawLine(QPointF(0, -2), QPointF(4, -12));
    p.rotate(90);
  }
  p.setPen(QPen(QColor(190, 90, 0), 1));
  p.setBrush(QColor(255, 145, 20));
  p.drawEllipse(QPointF(0, 0), 4.5, 4.5);
  p.end();
  return image;
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <assets folder>\n", argv[0]);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  // The window icon has 256 colours; the desktop's larger rendering keeps full colour.
  bool ok = Save(Background(), folder, "background.png") &&
            Save(ToIndexed(Icon(32)), folder, "icon.png") &&
            Save(Icon(128), folder, "icon-128.png");
  // A face named "up" or "down" is an arrow; every other name is its own glyph.
  constexpr const char* kFaces[] = {"0", "1", "2", "3", "4",   "5",    "6",  "7",
                                    "8", "9", "L", "P", "RUN", "STOP", "up", "down"};
  for (const char* face : kFaces) {
    ok = Save(KeyFace(face), folder, QStringLiteral("key_%1.png").arg(face)) && ok;
  }
  return ok ? 0 : 1;
}
