// The main window's widgets bound to the window model: captions, colours and
// visibility follow its labels, keys and menus call its actions, and mouse
// presses on the surface reach it as its button codes.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#include "app/design_to_qt.h"
#include "app/key_button.h"
#include "app/label_fit.h"
#include "app/main_window_view.h"
#include "app/window_surface.h"
#include "console/window_design.h"
#include "platform/qt/qt_popup_menu.h"

namespace pump::app {

namespace design = console::design;

namespace {

// Mouse buttons as the window counts them.
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

}  // namespace

void MainWindowView::bind(console::MainWindow& window, std::function<void()> programEnds) {
  window_ = &window;
  programEnds_ = std::move(programEnds);
  bindLabels(window);
  bindKeys(window);
  bindMenus(window);
  bindMouse(window);
}

void MainWindowView::bindLabels(console::MainWindow& window) {
  for (const design::LabelDesign& d : design::Labels()) {
    Label& model = window.display.*d.label;
    QLabel* widget = labels_.at({std::string(d.name), d.index});
    const QPalette designColours = widget->palette();
    auto show = [widget, &model, designColours, shownColour = std::optional<Rgb>()]() mutable {
      widget->setText(QString::fromStdString(model.caption()));
      widget->setVisible(model.visible());
      if (model.colour() == shownColour) return;
      shownColour = model.colour();
      QPalette colours = designColours;
      if (shownColour) colours.setColor(QPalette::WindowText, ToQColor(*shownColour));
      widget->setPalette(colours);
    };
    const std::size_t label = captionShows_.size();
    captionShows_.push_back(std::move(show));
    captionsWaiting_.push_back(false);
    model.setObserver([this, label] { showCaption(label); });
    captionShows_[label]();
    PlaceStartCaption(*widget);
  }
}

void MainWindowView::holdCaptionsFor(qt::PacedRepaint& pacing) {
  captionsHeld_ = [&pacing] { return pacing.frameDue(); };
  pacing.setBeforeFrame([this] { showHeldCaptions(); });
}

void MainWindowView::showCaption(std::size_t label) {
  captionsWaiting_[label] = captionsHeld_ && captionsHeld_();
  if (!captionsWaiting_[label]) captionShows_[label]();
}

void MainWindowView::showHeldCaptions() {
  for (std::size_t label = 0; label < captionShows_.size(); ++label) {
    if (!captionsWaiting_[label]) continue;
    captionsWaiting_[label] = false;
    captionShows_[label]();
  }
}

void MainWindowView::bindKeys(console::MainWindow& window) {
  for (const design::KeyDesign& d : design::Keys()) {
    KeyButton* key = keys_.at({std::string(d.name), d.index});
    const design::KeyAction press = d.press;
    const char digit = d.digit;
    QObject::connect(key, &QAbstractButton::clicked, this, [&window, press, digit] {
      if (press) {
        (window.*press)();
      } else {
        window.pressDigit(digit);
      }
    });
  }
}

void MainWindowView::bindMenus(console::MainWindow& window) {
  for (const design::MenuDesign& d : design::Menus()) {
    const std::string name(d.name);
    if (d.action) {
      const design::MenuAction action = d.action;
      QObject::connect(actions_.at(name), &QAction::triggered, this,
                       [&window, action] { (window.*action)(); });
    }
    // Only top-level entries are ever enabled or disabled: a disabled sub-menu
    // on the bar makes all its items unreachable.
    if (!d.entry) continue;
    MenuEntry& entry = window.menus.*d.entry;
    QAction* barEntry = menus_.contains(name) ? menus_.at(name)->menuAction() : actions_.at(name);
    QMenu* popup = d.kind == design::MenuKind::PopupOnly ? popup_ : nullptr;
    auto follow = [barEntry, popup, &entry] {
      barEntry->setEnabled(entry.enabled());
      if (popup) popup->setEnabled(entry.enabled());
    };
    entry.setObserver(follow);
    follow();
  }
}

void MainWindowView::bindMouse(console::MainWindow& window) {
  surface_->setOnMousePress([this, &window](QMouseEvent* event) {
    const int button = ButtonCode(event->button());
    if (button == 0) return;
    popupMenu_->setAnchor(event->globalPosition().toPoint());
    window.mouseDown(button);
  });
}

}  // namespace pump::app
