// The main window on Qt: the widgets of Form1 built from its design tables and
// bound to the window model. Captions, visibility and menu state follow the
// model; clicks, the mouse press on the bare window and the close box call its
// handlers.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "console/main_window.h"
#include "platform/qt/chart_canvas.h"
#include "platform/qt/qt_popup_menu.h"

class QAction;
class QLabel;
class QMenu;

namespace pump::app {

class KeyButton;
class Form1Surface;

class Form1View : public QMainWindow {
 public:
  // Builds every widget at its design place; nothing is bound yet.
  explicit Form1View(QWidget* parent = nullptr);
  ~Form1View() override;

  // The chart surface and the pop-up that the window model draws on and opens.
  qt::ChartCanvas& picture1() { return *picture1_; }
  qt::QtPopupMenu& rightkeyPopup() { return *rightkeyPopup_; }

  // Binds the widgets to the model. `programEnds` runs after Form_Unload when
  // the operator closes the window.
  void bind(console::Form1& form, std::function<void()> programEnds);

  // Puts the client area's corner at its design place on the screen, or as
  // near as the screen allows, and gives it its design size.
  void placeAtDesignPosition();

  QWidget& surface();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  using ControlKey = std::pair<std::string, int>;  // design name, control-array index

  void buildLabels();
  void buildKeys();
  void buildChart();
  void buildMenus();
  void setFocusOrder();
  void bindLabels(console::Form1& form);
  void bindKeys(console::Form1& form);
  void bindMenus(console::Form1& form);
  void bindMouse(console::Form1& form);

  Form1Surface* surface_ = nullptr;
  std::map<ControlKey, QLabel*> labels_;
  std::map<ControlKey, KeyButton*> keys_;
  qt::ChartCanvas* picture1_ = nullptr;
  std::map<std::string, QMenu*> menus_;      // sub-menus and the pop-up
  std::map<std::string, QAction*> actions_;  // items and bar commands
  QMenu* rightkey_ = nullptr;
  std::unique_ptr<qt::QtPopupMenu> rightkeyPopup_;
  console::Form1* form_ = nullptr;
  std::function<void()> programEnds_;
};

}  // namespace pump::app
