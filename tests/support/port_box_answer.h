// The port box of a console with real Qt boxes, answered as an operator does:
// the answer typed over the default, then Enter.
#pragma once

#include <string>

#include "console/main_window.h"
#include "platform/qt/hinted_input_dialog.h"

namespace pump::testing {

// The port box, when it is the box now shown; otherwise nothing.
qt::HintedInputDialog* ShownPortBox();
// Types `answer` over the box's default and presses Enter.
void AnswerPortBox(qt::HintedInputDialog& box, const std::string& answer);
// Asks the window for a port and answers its box with `answer` once it shows.
void OpenThroughThePortBox(console::MainWindow& window, const std::string& answer);
// The same, then answers Yes or No to the question that follows, once it shows.
void OpenThroughThePortBox(console::MainWindow& window, const std::string& answer, bool yes);

}  // namespace pump::testing
