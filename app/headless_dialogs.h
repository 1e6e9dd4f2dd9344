// Boxes for the console without a window: messages go to the standard error
// (the journal, under systemd), and the port box is answered once with the
// port given on the command line. Any other question is cancelled.
#pragma once

#include <cstdio>
#include <string>
#include <utility>

#include "platform/ui.h"

namespace pump::app {

class HeadlessDialogs : public Dialogs {
 public:
  // The next question is answered with this text.
  void answerNext(std::string answer) { answer_ = std::move(answer); }

  void showMessage(const std::string& prompt, const std::string& title) override {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), prompt.c_str());
  }
  void showNotice(const std::string& prompt, const std::string& title) override {
    showMessage(prompt, title);
  }
  std::string askText(const std::string&, const std::string&, int) override {
    return std::exchange(answer_, std::string());
  }
  std::string askWithHints(const HintedInputBox&) override {
    return std::exchange(answer_, std::string());
  }

 private:
  std::string answer_;
};

}  // namespace pump::app
