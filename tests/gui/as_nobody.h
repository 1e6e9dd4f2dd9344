// Runs one disabled test of this binary as user nobody in a child process.
// Root passes every permission check, so a refusal the operator would meet
// can only be seen from an ordinary user.
#pragma once

#include <string>

namespace pump::testing {

struct ChildRun {
  int status = -1;     // exit status; 0 when the child's test passed
  std::string output;  // what it printed, for the failure message
};

// The test "Suite.DISABLED_Name" runs with PUMP_CHILD_ARG=argument in its
// environment. Status -1: setpriv could not be started.
ChildRun RunAsNobody(const std::string& disabledTest, const std::string& argument);

// The argument given to this process by RunAsNobody, or empty.
std::string ChildArgument();

}  // namespace pump::testing
