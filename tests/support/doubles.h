// Test doubles for the platform interfaces: they record what the logic did
// and play back what a test scripts.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/printer.h"
#include "platform/serial_port.h"
#include "platform/serial_ports.h"
#include "platform/ui.h"

namespace pump::testing {

// A clock that only moves when the test says so, firing due timers in order.
class ScriptedClock;

class ManualTimer : public Timer {
 public:
  explicit ManualTimer(ScriptedClock& clock);
  ~ManualTimer() override;
  void setInterval(int milliseconds) override { interval_ = milliseconds; }
  int interval() const override { return interval_; }
  void setEnabled(bool enabled) override;
  bool enabled() const override { return enabled_; }
  void setOnTick(std::function<void()> onTick) override { onTick_ = std::move(onTick); }

  int remainingMs() const override;
  long long dueAt() const { return dueAt_; }
  void fire();  // one tick now, and the next one an interval later

 private:
  ScriptedClock& clock_;
  int interval_ = 0;
  bool enabled_ = false;
  long long dueAt_ = 0;
  std::function<void()> onTick_;
};

class ScriptedClock {
 public:
  long long now() const { return now_; }
  // Moves time forward, firing every tick that falls due on the way.
  void advance(long long milliseconds);
  // Moves time forward with the window's thread held: no tick fires until
  // the next advance, when each overdue timer fires once.
  void stall(long long milliseconds) { now_ += milliseconds; }

 private:
  friend class ManualTimer;
  long long now_ = 0;
  std::vector<ManualTimer*> timers_;
};

// Records every open and write; replies are pushed in by the test.
class RecordingSerialPort : public SerialPort {
 public:
  std::optional<PortError> open(const std::string& device, const LineSettings& settings) override;
  void close() override;
  bool isOpen() const override { return open_; }
  std::string device() const override { return device_; }
  std::optional<std::size_t> write(std::string_view bytes) override;
  void setOnBytes(BytesHandler onBytes) override { onBytes_ = std::move(onBytes); }
  void setOnLineLost(LineLostHandler onLost) override { onLost_ = std::move(onLost); }
  void setOnRoom(RoomHandler onRoom) override { onRoom_ = std::move(onRoom); }
  void discardUnsent() override { ++discards; }
  bool outputDrained() const override { return drained; }

  // Test side.
  void receive(std::string_view bytes);   // bytes arrive on the open line
  void loseLine(const std::string& why);  // the port fails while open
  // The far end reads again: `bytes` more fit on the line (none: no limit),
  // and a writer that found it full hears of the room.
  void makeRoom(std::optional<std::size_t> bytes = std::nullopt);
  std::optional<PortError> failNextOpen;  // the next open fails with this
  bool refuseWrites = false;
  // Bytes the line takes before it is full; none: no limit.
  std::optional<std::size_t> room;
  // What the line took has left the port for the far end.
  bool drained = true;

  std::vector<std::string> written;  // one entry per write that took bytes
  std::string line;                  // every byte taken, in order
  std::vector<std::string> opened;   // the device of every open asked for
  LineSettings settings;             // of the last open
  int openCount = 0;
  int closeCount = 0;
  int discards = 0;

 private:
  std::string device_;
  bool open_ = false;
  BytesHandler onBytes_;
  LineLostHandler onLost_;
  RoomHandler onRoom_;
  bool full_ = false;  // a write found the line full; the writer waits for room
};

// Answers input boxes from a script and records every box shown.
class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "message", "notice" (returns at once), "question" or "yes_no"
    std::string prompt;
    std::string title;
    std::string defaultAnswer;           // as the edit field shows it
    std::vector<std::string> hintLines;  // under the prompt of a hinted box
    std::vector<std::string> completions;
  };
  void showMessage(const std::string& prompt, const std::string& title) override;
  void showNotice(const std::string& prompt, const std::string& title) override;
  // Changeable notices are numbered by their place in `shown`; each stays up
  // until closeNotices().
  int showChangeableNotice(const std::string& prompt, const std::string& title) override;
  bool noticeShown(int notice) const override;
  void changeNotice(int notice, const std::string& prompt) override;
  void closeNotices() { noticesUp.clear(); }
  std::string askText(const std::string& prompt, const std::string& title,
                      int defaultAnswer) override;
  std::string askWithHints(const HintedInputBox& box) override;
  bool askYesNo(const std::string& prompt, const std::string& title) override;

  std::deque<std::string> answers;  // next answers to askText; "" is Cancel
  std::deque<bool> yesNoAnswers;    // next answers to askYesNo; none left: No
  std::vector<Shown> shown;
  std::set<int> noticesUp;              // changeable notices the operator has not closed
  std::vector<Shown> messages() const;  // the message boxes and notices only
};

// The ports a test says the system lists.
class ListedPorts : public PortFinder {
 public:
  std::vector<FoundPort> availablePorts() const override { return ports; }
  std::vector<FoundPort> ports;
};

// The last port kept in memory instead of the user's configuration.
class KeptLastPort : public LastPortMemory {
 public:
  std::optional<std::string> recall() const override { return answer; }
  void remember(const std::string& given) override { answer = given; }
  std::optional<std::string> answer;
};

class RecordingCanvas : public Canvas {
 public:
  struct Line {
    float x1, y1, x2, y2;
    std::optional<Rgb> colour;
    friend bool operator==(const Line&, const Line&) = default;
    friend void PrintTo(const Line& line, std::ostream* os);  // for test failure messages
  };
  void setScale(float left, float top, float right, float bottom) override;
  void line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) override;
  void clear() override;

  std::array<float, 4> scale{};
  std::vector<Line> lines;  // since the last clear
  int clears = 0;
  int scaleCalls = 0;
};

class RecordingPrinter : public Printer {
 public:
  std::optional<int> showPrintDialog() override;
  bool printLine(const std::string& text) override;
  bool endDoc() override;

  std::optional<int> dialogAnswer;  // copies, or nothing for Cancel
  bool failPrinting = false;
  std::vector<std::vector<std::string>> jobs;  // lines of each ended document
  int dialogsShown = 0;

 private:
  std::vector<std::string> page_;
};

// Files held in memory; a path can be made to fail.
class MemoryFiles : public Files {
 public:
  FileResult writeWhole(const std::string& path, std::string_view bytes) override;
  FileResult readTail(const std::string& path, std::size_t maxBytes, std::string* bytes) override;

  std::map<std::string, std::string> files;
  std::map<std::string, FileResult> failing;  // path -> the failure it gives
};

struct CountingApp : Application {
  void endNow() override { ++ends; }
  int ends = 0;
};

struct CountingPopup : PopupMenu {
  void popup() override { ++shown; }
  int shown = 0;
};

struct CountingWindow : WindowHandle {
  void show() override {
    ++shows;
    visible = true;
  }
  void hide() override {
    ++hides;
    visible = false;
  }
  int shows = 0;
  int hides = 0;
  bool visible = false;
};

}  // namespace pump::testing
