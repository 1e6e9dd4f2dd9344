// Text from the broker as it may be shown. Pump ids, link states, program
// names and refusal reasons are anyone's to publish: a character that would
// act rather than show (a line break or other control, a direction mark or
// override, a zero-width character) is written out as its code, "<U+202E>",
// so that an id cannot pass for another nor turn the text around it. Bytes
// that are not UTF-8 show as U+FFFD. Labels show the result as plain text.
#pragma once

#include <string>
#include <string_view>

namespace pump::board {

std::string VisibleText(std::string_view text);

}  // namespace pump::board
