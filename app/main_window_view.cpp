#include "app/main_window_view.h"

#include <qdrawutil.h>

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include "app/design_to_qt.h"
#include "app/key_button.h"
#include "app/label_fit.h"
#include "app/signal_ending.h"
#include "app/window_surface.h"
#include "console/window_design.h"
#include "platform/qt/caption_label.h"

namespace pump::app {

namespace design = console::design;

namespace {

constexpr int kChartBorderWidth = 2;

// The chart surface inside the system's standard sunken border. The
// user coordinates cover the area inside the border.
class ChartBox : public qt::ChartCanvas {
 public:
  explicit ChartBox(QWidget* parent) : ChartCanvas(parent) {
    setContentsMargins(kChartBorderWidth, kChartBorderWidth, kChartBorderWidth, kChartBorderWidth);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    ChartCanvas::paintEvent(event);
    // A stretch inside the border leaves the border's pixels as they were.
    if (contentsRect().contains(event->rect())) return;
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
  }
};

// Menu captions are shown as written: an "&" would otherwise make an access key.
QString MenuCaption(std::string_view caption) {
  return Text(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

void NameControl(QObject& control, std::string_view name, int index) {
  control.setObjectName(Text(name));
  if (index != design::kNoIndex) control.setProperty("index", index);
}

QFont LabelFont(double pointSize) {
  const design::FontDesign design = design::LabelFont(pointSize);
  QFont font(Text(design.face));
  font.setPointSizeF(design.pointSize);
  font.setBold(design.bold);
  return font;
}

}  // namespace

MainWindowView::MainWindowView(QWidget* parent) : QMainWindow(parent) {
  const auto& window = design::Window();
  setWindowTitle(Text(window.title));
  setWindowIcon(Icon(window.icon));
  surface_ = new WindowSurface(this);
  surface_->setObjectName(QStringLiteral("Form1"));
  setCentralWidget(surface_);
  buildLabels();
  buildKeys();
  buildChart();
  buildMenus();
  setFocusOrder();
  resize(ToPixels(window.clientWidth),
         ToPixels(window.clientHeight) + menuBar()->sizeHint().height());
}

MainWindowView::~MainWindowView() = default;

QWidget& MainWindowView::surface() { return *surface_; }

void MainWindowView::buildLabels() {
  for (const design::LabelDesign& d : design::Labels()) {
    auto* label = new qt::CaptionLabel(surface_);
    NameControl(*label, d.name, d.index);
    label->setGeometry(ToQRect(d.rect));
    // A label keeps its design size whatever it shows; fixed, a new caption
    // does not make Qt post a layout request to the window for every reply.
    label->setFixedSize(label->size());
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(LabelFont(d.fontSize));
    label->setSolidBackground(ToQColor(d.backColour.value_or(design::kBlue)));
    if (d.textColour) {
      QPalette colours = label->palette();
      colours.setColor(QPalette::WindowText, ToQColor(*d.textColour));
      label->setPalette(colours);
    }
    if (!d.accessibleDescription.empty()) {
      label->setAccessibleDescription(Text(d.accessibleDescription));
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      label->setIndent(4);
    }
    // A press on a label belongs to the label, not to the window under it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    labels_[{std::string(d.name), d.index}] = label;
  }
}

void MainWindowView::buildKeys() {
  for (const design::KeyDesign& d : design::Keys()) {
    auto* key = new KeyButton(Picture(d.picture), surface_);
    NameControl(*key, d.name, d.index);
    key->setAccessibleName(Text(d.face));
    key->setGeometry(ToQRect(d.rect));
    keys_[{std::string(d.name), d.index}] = key;
  }
}

void MainWindowView::buildChart() {
  const design::ChartDesign& d = design::Chart();
  chart_ = new ChartBox(surface_);
  NameControl(*chart_, d.name, design::kNoIndex);
  chart_->setGeometry(ToQRect(d.rect));
  QPalette colours = chart_->palette();
  colours.setColor(QPalette::Window, ToQColor(d.backColour));
  chart_->setPalette(colours);
  chart_->setFocusPolicy(Qt::StrongFocus);
  chart_->setAttribute(Qt::WA_NoMousePropagation);
}

// The menu table lists entries in order with their nesting level; each entry
// belongs to the nearest entry above it with a lower level.
void MainWindowView::buildMenus() {
  std::map<int, QMenu*> openMenus;  // level -> the menu that entries of the next level go in
  for (const design::MenuDesign& d : design::Menus()) {
    const QString caption = MenuCaption(d.caption);
    const QString name = Text(d.name);
    QMenu* parentMenu = d.level > 1 ? openMenus.at(d.level - 1) : nullptr;
    switch (d.kind) {
      case design::MenuKind::SubMenu: {
        QMenu* menu = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(name);
        menus_[std::string(d.name)] = menu;
        openMenus[d.level] = menu;
        break;
      }
      case design::MenuKind::PopupOnly: {
        popup_ = new QMenu(caption, this);
        popup_->setObjectName(name);
        menus_[std::string(d.name)] = popup_;
        openMenus[d.level] = popup_;
        break;
      }
      case design::MenuKind::Item:
      case design::MenuKind::BarCommand: {
        QAction* action =
            parentMenu ? parentMenu->addAction(caption) : menuBar()->addAction(caption);
        action->setObjectName(name);
        actions_[std::string(d.name)] = action;
        break;
      }
    }
  }
  popupMenu_ = std::make_unique<qt::QtPopupMenu>(*popup_);
}

void MainWindowView::setFocusOrder() {
  QWidget* previous = nullptr;
  for (const design::ControlId& id : design::FocusOrder()) {
    QWidget* next = id.name == design::Chart().name ? static_cast<QWidget*>(chart_)
                                                    : keys_.at({std::string(id.name), id.index});
    if (previous) QWidget::setTabOrder(previous, next);
    previous = next;
  }
}

void MainWindowView::placeAtDesignPosition() {
  const auto& window = design::Window();
  const int menuHeight = menuBar()->sizeHint().height();
  QRect frame(ToPixels(window.left), ToPixels(window.top) - menuHeight,
              ToPixels(window.clientWidth), ToPixels(window.clientHeight) + menuHeight);
  // On a screen too small for the design place, keep the window on the screen.
  if (const QScreen* screen = this->screen()) {
    const QRect available = screen->availableGeometry();
    if (frame.right() > available.right()) frame.moveRight(available.right());
    if (frame.bottom() > available.bottom()) frame.moveBottom(available.bottom());
    if (frame.left() < available.left()) frame.moveLeft(available.left());
    if (frame.top() < available.top()) frame.moveTop(available.top());
  }
  setGeometry(frame);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
  const auto answer = window_ ? window_->askToClose() : console::MainWindow::CloseAnswer::Close;
  if (answer == console::MainWindow::CloseAnswer::Stay) return event->ignore();
  event->accept();
  if (!window_) return;
  if (answer == console::MainWindow::CloseAnswer::CloseAfterStop) {
    WaitForExitStop(window_->session());
  }
  window_->closeWindow();
  if (programEnds_) programEnds_();
}

}  // namespace pump::app
