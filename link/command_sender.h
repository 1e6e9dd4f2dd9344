// Where a component hands a pump command for the line.
#pragma once

#include "link/pump_command.h"

namespace pump::link {

class CommandSender {
 public:
  virtual ~CommandSender() = default;
  // Writes the command. When it cannot go out, the operator has been told
  // why and the result is false: the caller skips the steps that follow.
  virtual bool send(const PumpCommand& command) = 0;
};

}  // namespace pump::link
