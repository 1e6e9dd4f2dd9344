// Where a component hands a pump command for the line.
#pragma once

#include "link/pump_command.h"

namespace pump::link {

enum class Handed {
  Sent,    // written to the line
  Kept,    // a stop the line cannot take now: it goes out first when the line is back
  Failed,  // not sent; the operator has been told why
};

class CommandSender {
 public:
  virtual ~CommandSender() = default;
  virtual Handed send(const PumpCommand& command) = 0;
};

}  // namespace pump::link
