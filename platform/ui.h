// Controls and dialogs the console logic sees. Nothing here knows about a
// window toolkit: the Qt front end binds its widgets to these objects.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pump {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A label whose caption is state: handlers write it and read it back.
// The view registers one observer and redraws when it fires.
class Label {
 public:
  explicit Label(std::string caption = {}, bool visible = true)
      : caption_(std::move(caption)), visible_(visible) {}
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    notify();
  }
  bool visible() const { return visible_; }
  void setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    notify();
  }
  // The text colour when the logic chooses it; nothing: the design's colour.
  const std::optional<Rgb>& colour() const { return colour_; }
  void setColour(std::optional<Rgb> colour) {
    if (colour == colour_) return;
    colour_ = colour;
    notify();
  }
  void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  // The observer now set, so a watcher can be put in front of it.
  const std::function<void()>& observer() const { return observer_; }

 private:
  void notify() {
    if (observer_) observer_();
  }
  std::string caption_;
  bool visible_;
  std::optional<Rgb> colour_;
  std::function<void()> observer_;
};

// A top-level menu entry that can be enabled or disabled at run time.
class MenuEntry {
 public:
  MenuEntry() = default;
  MenuEntry(const MenuEntry&) = delete;
  MenuEntry& operator=(const MenuEntry&) = delete;

  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (observer_) observer_();
  }
  void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

 private:
  bool enabled_ = true;
  std::function<void()> observer_;
};

// A repeating timer whose ticks arrive on the window's event thread.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void setInterval(int milliseconds) = 0;
  virtual int interval() const = 0;
  // Enabling a stopped timer starts a full interval; enabling a running one changes nothing.
  virtual void setEnabled(bool enabled) = 0;
  virtual bool enabled() const = 0;
  virtual void setOnTick(std::function<void()> onTick) = 0;
  // Milliseconds until the next tick while enabled (0 when one is overdue).
  virtual int remainingMs() const = 0;
};

// An input box that shows what may be typed: one line each under the prompt,
// and the names alone as completions dropped from the edit field.
struct HintedInputBox {
  std::string prompt;
  std::string title;
  std::string defaultAnswer;
  std::vector<std::string> hintLines;
  std::vector<std::string> completions;
};

// Message and input boxes. While a box waits for the operator the window's
// events still run, but what opened it is held until it closes, and so is
// whatever the toolkit does not start again while it is on the stack (a
// serial port's next bytes, a timer's next tick). The line's reply, poll and
// watch handlers therefore show notices, which do not wait.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // OK button only, no icon; returns when the operator closes it.
  virtual void showMessage(const std::string& prompt, const std::string& title) = 0;
  // The same box, shown over the window until the operator closes it, but
  // returning at once.
  virtual void showNotice(const std::string& prompt, const std::string& title) = 0;
  // A notice whose text may change while it is up; the number names it to
  // the two calls below.
  virtual int showChangeableNotice(const std::string& prompt, const std::string& title) = 0;
  // The notice is still up: the operator has not closed it.
  virtual bool noticeShown(int notice) const = 0;
  // Its text becomes `prompt`; nothing once it is closed.
  virtual void changeNotice(int notice, const std::string& prompt) = 0;
  // The edit text on OK, the empty text on Cancel. A CR LF in the prompt breaks the line.
  virtual std::string askText(const std::string& prompt, const std::string& title,
                              int defaultAnswer) = 0;
  // The same, with its hints shown and a default that may be any text.
  virtual std::string askWithHints(const HintedInputBox& box) = 0;
  // Yes and No buttons; true for Yes. Closing the box is No.
  virtual bool askYesNo(const std::string& prompt, const std::string& title) = 0;
};

// A picture box with a user coordinate system. Coordinates are single precision,
// as the drawing surface takes them.
class Canvas {
 public:
  virtual ~Canvas() = default;
  // User coordinates of the top-left and bottom-right corners.
  virtual void setScale(float left, float top, float right, float bottom) = 0;
  // A solid one-pixel line; without a colour it uses the foreground colour.
  virtual void line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) = 0;
  // Erases everything: only the background remains.
  virtual void clear() = 0;
};

// A top-level window as other windows see it.
class WindowHandle {
 public:
  virtual ~WindowHandle() = default;
  virtual void show() = 0;  // shows it and brings it forward
  virtual void hide() = 0;
};

// A pop-up menu shown at the mouse position; the chosen item runs its handler.
class PopupMenu {
 public:
  virtual ~PopupMenu() = default;
  virtual void popup() = 0;
};

// A single-line text box whose text the operator may also edit.
class TextBox {
 public:
  explicit TextBox(std::string text = {}) : text_(std::move(text)) {}
  TextBox(const TextBox&) = delete;
  TextBox& operator=(const TextBox&) = delete;

  const std::string& text() const { return text_; }
  // Called by the logic; the view is told.
  void setText(std::string text) {
    text_ = std::move(text);
    if (observer_) observer_();
  }
  // Called by the view when the operator edits the box.
  void editedTo(std::string text) { text_ = std::move(text); }
  void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

 private:
  std::string text_;
  std::function<void()> observer_;
};

// The program itself.
class Application {
 public:
  virtual ~Application() = default;
  // Ends the program at once: no close handler runs.
  virtual void endNow() = 0;
};

}  // namespace pump
