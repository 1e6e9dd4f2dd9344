#include "app/form1_view.h"

#include <qdrawutil.h>

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <stdexcept>

#include "app/key_button.h"
#include "app/label_fit.h"
#include "console/form1_controls.h"
#include "console/form1_design.h"

namespace pump::app {

namespace design = console::design;

// The client area below the menu bar: blue, with the background picture drawn
// unscaled from the corner, so an enlarged window shows blue round it.
class Form1Surface : public QWidget {
 public:
  explicit Form1Surface(QWidget* parent) : QWidget(parent) {
    const auto& window = design::Window();
    background_.load(QString::fromUtf8(window.backgroundPicture));
    backColour_ = QColor(window.backColour.r, window.backColour.g, window.backColour.b);
  }
  void setOnMousePress(std::function<void(QMouseEvent*)> onPress) { onPress_ = std::move(onPress); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), backColour_);
    painter.drawPixmap(0, 0, background_);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (onPress_) onPress_(event);
  }

 private:
  QPixmap background_;
  QColor backColour_;
  std::function<void(QMouseEvent*)> onPress_;
};

namespace {

constexpr int kChartBorderWidth = 2;

// Picture1: the chart surface inside the system's standard sunken border. The
// user coordinates cover the area inside the border.
class Picture1Box : public qt::ChartCanvas {
 public:
  explicit Picture1Box(QWidget* parent) : ChartCanvas(parent) {
    setContentsMargins(kChartBorderWidth, kChartBorderWidth, kChartBorderWidth, kChartBorderWidth);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    ChartCanvas::paintEvent(event);
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
  }
};

QColor ToQColor(Rgb colour) { return {colour.r, colour.g, colour.b}; }

QRect ToQRect(design::TwipsRect twips) {
  const design::PixelRect px = design::ToPixels(twips);
  return {px.x, px.y, px.width, px.height};
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

// Mouse buttons and shift keys as the handlers count them.
int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return 1;
    case Qt::RightButton:
      return 2;
    case Qt::MiddleButton:
      return 4;
    default:
      return 0;
  }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
         (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

// Every design name must have its model object; a missing one is a build mistake.
template <typename Found>
Found Required(Found found, std::string_view what, std::string_view name) {
  if (!found) {
    throw std::logic_error("the window model has no " + std::string(what) + " " +
                           std::string(name));
  }
  return found;
}

}  // namespace

Form1View::Form1View(QWidget* parent) : QMainWindow(parent) {
  const auto& window = design::Window();
  setWindowTitle(Text(window.title));
  setWindowIcon(QIcon(Text(window.icon)));
  surface_ = new Form1Surface(this);
  surface_->setObjectName(QStringLiteral("Form1"));
  setCentralWidget(surface_);
  buildLabels();
  buildKeys();
  buildChart();
  buildMenus();
  setFocusOrder();
  resize(design::ToPixels(window.clientWidth),
         design::ToPixels(window.clientHeight) + menuBar()->sizeHint().height());
}

Form1View::~Form1View() = default;

QWidget& Form1View::surface() { return *surface_; }

void Form1View::buildLabels() {
  for (const design::LabelDesign& d : design::Labels()) {
    auto* label = new QLabel(Text(d.caption), surface_);
    NameControl(*label, d.name, d.index);
    label->setGeometry(ToQRect(d.rect));
    // A label keeps its design size whatever it shows; fixed, a new caption
    // does not make Qt post a layout request to the window for every reply.
    label->setFixedSize(label->size());
    label->setTextFormat(Qt::PlainText);
    label->setFont(LabelFont(d.fontSize));
    const CaptionPlacement place = PlaceCaption(label->font(), label->text(), label->size());
    label->setAlignment(Qt::AlignLeft | place.vertical);
    label->setContentsMargins(0, 0, 0, place.bottomMargin);
    label->setAutoFillBackground(true);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, ToQColor(design::kBlue));
    if (d.textColour) colours.setColor(QPalette::WindowText, ToQColor(*d.textColour));
    label->setPalette(colours);
    // A press on a label belongs to the label, not to the window under it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    labels_[{std::string(d.name), d.index}] = label;
  }
}

void Form1View::buildKeys() {
  for (const design::KeyDesign& d : design::Keys()) {
    auto* key = new KeyButton(QPixmap(Text(d.picture)), surface_);
    NameControl(*key, d.name, d.index);
    key->setAccessibleName(Text(d.face));
    key->setGeometry(ToQRect(d.rect));
    keys_[{std::string(d.name), d.index}] = key;
  }
}

void Form1View::buildChart() {
  const design::ChartDesign& d = design::Chart();
  picture1_ = new Picture1Box(surface_);
  NameControl(*picture1_, d.name, design::kNoIndex);
  picture1_->setGeometry(ToQRect(d.rect));
  QPalette colours = picture1_->palette();
  colours.setColor(QPalette::Window, ToQColor(d.backColour));
  picture1_->setPalette(colours);
  picture1_->setFocusPolicy(Qt::StrongFocus);
  picture1_->setAttribute(Qt::WA_NoMousePropagation);
}

// The menu table lists entries in order with their nesting level; each entry
// belongs to the nearest entry above it with a lower level.
void Form1View::buildMenus() {
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
        rightkey_ = new QMenu(caption, this);
        rightkey_->setObjectName(name);
        menus_[std::string(d.name)] = rightkey_;
        openMenus[d.level] = rightkey_;
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
  rightkeyPopup_ = std::make_unique<qt::QtPopupMenu>(*rightkey_);
}

void Form1View::setFocusOrder() {
  QWidget* previous = nullptr;
  for (const design::ControlId& id : design::FocusOrder()) {
    QWidget* next = id.name == design::Chart().name ? static_cast<QWidget*>(picture1_)
                                                    : keys_.at({std::string(id.name), id.index});
    if (previous) QWidget::setTabOrder(previous, next);
    previous = next;
  }
}

void Form1View::bind(console::Form1& form, std::function<void()> programEnds) {
  form_ = &form;
  programEnds_ = std::move(programEnds);
  bindLabels(form);
  bindKeys(form);
  bindMenus(form);
  bindMouse(form);
}

void Form1View::bindLabels(console::Form1& form) {
  for (auto& [id, label] : labels_) {
    Label& model = *Required(console::FindLabel(form, id.first, id.second), "label", id.first);
    QLabel* widget = label;
    auto show = [widget, &model] {
      widget->setText(QString::fromStdString(model.caption()));
      widget->setVisible(model.visible());
    };
    model.setObserver(show);
    show();
  }
}

void Form1View::bindKeys(console::Form1& form) {
  for (auto& [id, key] : keys_) {
    const console::KeyHandler handler =
        Required(console::FindKeyHandler(id.first), "key handler", id.first);
    const int index = id.second;
    QObject::connect(key, &QAbstractButton::clicked, this,
                     [&form, handler, index] { (form.*handler)(index); });
  }
}

void Form1View::bindMenus(console::Form1& form) {
  for (auto& [name, action] : actions_) {
    const console::MenuHandler handler =
        Required(console::FindMenuHandler(name), "menu handler", name);
    QObject::connect(action, &QAction::triggered, this, [&form, handler] { (form.*handler)(); });
  }
  // Only top-level entries are ever enabled or disabled: a disabled sub-menu
  // on the bar makes all its items unreachable.
  for (const design::MenuDesign& d : design::Menus()) {
    if (d.level != 1) continue;
    MenuEntry& entry = *Required(console::FindMenuEntry(form, d.name), "menu", d.name);
    const std::string name(d.name);
    QAction* barEntry = menus_.contains(name) ? menus_.at(name)->menuAction() : actions_.at(name);
    QMenu* popup = d.kind == design::MenuKind::PopupOnly ? rightkey_ : nullptr;
    auto follow = [barEntry, popup, &entry] {
      barEntry->setEnabled(entry.enabled());
      if (popup) popup->setEnabled(entry.enabled());
    };
    entry.setObserver(follow);
    follow();
  }
}

void Form1View::bindMouse(console::Form1& form) {
  surface_->setOnMousePress([this, &form](QMouseEvent* event) {
    const int button = ButtonCode(event->button());
    if (button == 0) return;
    rightkeyPopup_->setAnchor(event->globalPosition().toPoint());
    const QPointF twips = event->position() * design::kTwipsPerPixel;
    form.Form_MouseDown(button, ShiftCode(event->modifiers()), static_cast<float>(twips.x()),
                        static_cast<float>(twips.y()));
  });
}

void Form1View::placeAtDesignPosition() {
  const auto& window = design::Window();
  const int menuHeight = menuBar()->sizeHint().height();
  QRect frame(design::ToPixels(window.left), design::ToPixels(window.top) - menuHeight,
              design::ToPixels(window.clientWidth),
              design::ToPixels(window.clientHeight) + menuHeight);
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

void Form1View::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!form_) return;
  form_->Form_Unload();
  if (programEnds_) programEnds_();
}

}  // namespace pump::app
