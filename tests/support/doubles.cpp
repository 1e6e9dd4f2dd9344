#include "tests/support/doubles.h"

#include <algorithm>

namespace pump::testing {

ManualTimer::ManualTimer(ScriptedClock& clock) : clock_(clock) { clock_.timers_.push_back(this); }

ManualTimer::~ManualTimer() {
  auto& timers = clock_.timers_;
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void ManualTimer::setEnabled(bool enabled) {
  if (enabled && !enabled_) dueAt_ = clock_.now() + interval_;
  enabled_ = enabled;
}

int ManualTimer::remainingMs() const {
  return static_cast<int>(std::max(0LL, dueAt_ - clock_.now()));
}

void ManualTimer::fire() {
  dueAt_ = clock_.now() + interval_;
  if (onTick_) onTick_();
}

void ScriptedClock::advance(long long milliseconds) {
  const long long target = now_ + milliseconds;
  while (true) {
    ManualTimer* next = nullptr;
    for (ManualTimer* timer : timers_) {
      if (timer->enabled() && timer->interval() > 0 && timer->dueAt() <= target &&
          (next == nullptr || timer->dueAt() < next->dueAt())) {
        next = timer;
      }
    }
    if (next == nullptr) break;
    now_ = next->dueAt();
    next->fire();
  }
  now_ = std::max(now_, target);  // a tick may have moved time on itself (a modal box)
}

std::optional<PortError> RecordingSerialPort::open(const std::string& device,
                                                   const LineSettings& lineSettings) {
  opened.push_back(device);
  ++openCount;
  device_ = device;
  settings = lineSettings;
  if (failNextOpen) {
    auto error = failNextOpen;
    failNextOpen.reset();
    open_ = false;
    return error;
  }
  open_ = true;
  return std::nullopt;
}

void RecordingSerialPort::close() {
  ++closeCount;
  full_ = false;
  open_ = false;
}

std::optional<std::size_t> RecordingSerialPort::write(std::string_view bytes) {
  if (!open_ || refuseWrites) return std::nullopt;
  const std::size_t taken = room ? std::min(*room, bytes.size()) : bytes.size();
  if (room) *room -= taken;
  if (taken > 0) written.emplace_back(bytes.substr(0, taken));
  line.append(bytes.substr(0, taken));
  if (taken < bytes.size()) full_ = true;
  return taken;
}

void RecordingSerialPort::makeRoom(std::optional<std::size_t> bytes) {
  room = bytes;
  if (!full_ || !open_) return;
  full_ = false;
  if (onRoom_) onRoom_();
}

void RecordingSerialPort::receive(std::string_view bytes) {
  if (open_ && onBytes_) onBytes_(bytes);
}

void RecordingSerialPort::loseLine(const std::string& why) {
  open_ = false;
  if (onLost_) onLost_(why);
}

void ScriptedDialogs::showMessage(const std::string& prompt, const std::string& title) {
  shown.push_back({"message", prompt, title, {}, {}, {}});
}

void ScriptedDialogs::showNotice(const std::string& prompt, const std::string& title) {
  shown.push_back({"notice", prompt, title, {}, {}, {}});
}

int ScriptedDialogs::showChangeableNotice(const std::string& prompt, const std::string& title) {
  showNotice(prompt, title);
  const int notice = static_cast<int>(shown.size()) - 1;
  noticesUp.insert(notice);
  return notice;
}

bool ScriptedDialogs::noticeShown(int notice) const { return noticesUp.contains(notice); }

void ScriptedDialogs::changeNotice(int notice, const std::string& prompt) {
  if (noticeShown(notice)) shown[static_cast<std::size_t>(notice)].prompt = prompt;
}

std::string ScriptedDialogs::askText(const std::string& prompt, const std::string& title,
                                     int defaultAnswer) {
  return askWithHints({prompt, title, std::to_string(defaultAnswer), {}, {}});
}

std::string ScriptedDialogs::askWithHints(const HintedInputBox& box) {
  shown.push_back(
      {"question", box.prompt, box.title, box.defaultAnswer, box.hintLines, box.completions});
  if (answers.empty()) return {};
  std::string answer = answers.front();
  answers.pop_front();
  return answer;
}

bool ScriptedDialogs::askYesNo(const std::string& prompt, const std::string& title) {
  shown.push_back({"yes_no", prompt, title, {}, {}, {}});
  if (yesNoAnswers.empty()) return false;
  const bool yes = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return yes;
}

std::vector<ScriptedDialogs::Shown> ScriptedDialogs::messages() const {
  std::vector<Shown> result;
  for (const auto& box : shown) {
    if (box.kind == "message" || box.kind == "notice") result.push_back(box);
  }
  return result;
}

void RecordingCanvas::setScale(float left, float top, float right, float bottom) {
  scale = {left, top, right, bottom};
  ++scaleCalls;
}

void RecordingCanvas::line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) {
  lines.push_back({x1, y1, x2, y2, colour});
}

void PrintTo(const RecordingCanvas::Line& line, std::ostream* os) {
  *os << "(" << line.x1 << ", " << line.y1 << ")-(" << line.x2 << ", " << line.y2 << ")";
  if (line.colour) {
    *os << " rgb(" << int{line.colour->r} << ", " << int{line.colour->g} << ", "
        << int{line.colour->b} << ")";
  } else {
    *os << " foreground";
  }
}

void RecordingCanvas::clear() {
  lines.clear();
  ++clears;
}

std::optional<int> RecordingPrinter::showPrintDialog() {
  ++dialogsShown;
  return dialogAnswer;
}

bool RecordingPrinter::printLine(const std::string& text) {
  if (failPrinting) return false;
  page_.push_back(text);
  return true;
}

bool RecordingPrinter::endDoc() {
  if (failPrinting) return false;
  jobs.push_back(page_);
  page_.clear();
  return true;
}

FileResult MemoryFiles::writeWhole(const std::string& path, std::string_view bytes) {
  if (auto it = failing.find(path); it != failing.end()) return it->second;
  files[path] = std::string(bytes);
  return {true, {}};
}

FileResult MemoryFiles::readTail(const std::string& path, std::size_t maxBytes,
                                 std::string* bytes) {
  if (auto it = failing.find(path); it != failing.end()) return it->second;
  auto it = files.find(path);
  if (it == files.end()) return {false, "No such file or directory"};
  const std::string& whole = it->second;
  *bytes = whole.substr(whole.size() - std::min(whole.size(), maxBytes));
  return {true, {}};
}

}  // namespace pump::testing
