// Where handlers hand a command frame for the line.
#pragma once

#include <string_view>

namespace pump::link {

class CommandSender {
 public:
  virtual ~CommandSender() = default;
  // Writes one frame. When it cannot go out, the operator has been told why
  // and the result is false: the caller skips the steps that follow the send.
  virtual bool send(std::string_view frame) = 0;
};

}  // namespace pump::link
