// The main window on Qt: its widgets built from the design table and bound to
// the window. Captions, visibility and menu state follow the window's display
// and menus; clicks, the mouse press on the bare window and the close box call
// the window.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "console/main_window.h"
#include "pacing/qt/paced_repaint.h"
#include "platform/qt/chart_canvas.h"
#include "platform/qt/qt_popup_menu.h"

class QAction;
class QLabel;
class QMenu;

namespace pump::app {

class KeyButton;
class WindowSurface;

class MainWindowView : public QMainWindow {
 public:
  // Builds every widget at its design place; nothing is bound yet.
  explicit MainWindowView(QWidget* parent = nullptr);
  ~MainWindowView() override;

  // The chart surface and the pop-up that the window draws on and opens.
  qt::ChartCanvas& chartCanvas() { return *chart_; }
  qt::QtPopupMenu& popupMenu() { return *popupMenu_; }

  // Binds the widgets to the window. `programEnds` runs after the window's
  // close step when the operator closes it.
  void bind(console::MainWindow& window, std::function<void()> programEnds);

  // Puts the client area's corner at its design place on the screen, or as
  // near as the screen allows, and gives it its design size.
  void placeAtDesignPosition();

  QWidget& surface();
  // A menu item or bar command by its design name, for items that the
  // composition root binds itself.
  QAction* menuItem(const std::string& name) const { return actions_.at(name); }

  // While `pacing` has a frame on its way, a label's new caption, colour or
  // visibility waits for that frame: a label that replies change many times
  // between two screen frames takes its text once, for the frame that shows it.
  void holdCaptionsFor(qt::PacedRepaint& pacing);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  using ControlKey = std::pair<std::string, int>;  // design name, control-array index

  void buildLabels();
  void buildKeys();
  void buildChart();
  void buildMenus();
  void setFocusOrder();
  void bindLabels(console::MainWindow& window);
  void bindKeys(console::MainWindow& window);
  void bindMenus(console::MainWindow& window);
  void bindMouse(console::MainWindow& window);
  void showCaption(std::size_t label);
  void showHeldCaptions();

  WindowSurface* surface_ = nullptr;
  std::map<ControlKey, QLabel*> labels_;
  std::map<ControlKey, KeyButton*> keys_;
  qt::ChartCanvas* chart_ = nullptr;
  std::map<std::string, QMenu*> menus_;      // sub-menus and the pop-up
  std::map<std::string, QAction*> actions_;  // items and bar commands
  QMenu* popup_ = nullptr;
  std::unique_ptr<qt::QtPopupMenu> popupMenu_;
  console::MainWindow* window_ = nullptr;
  std::function<void()> programEnds_;
  // Each bound label's way to show its model, and whether that waits.
  std::vector<std::function<void()>> captionShows_;
  std::vector<bool> captionsWaiting_;
  std::function<bool()> captionsHeld_;
};

}  // namespace pump::app
