// Runs one disabled test of this binary as user nobody in a child process.
// Root passes every permission check, so a refusal the operator would meet
// can only be seen from an ordinary user.
#pragma once

#include <string>

namespace pump::testing {

struct ChildRun {
  int status = -1;     // exit status, 0 when the child's test passed; -1 when it could not run
  std::string output;  // what it printed, or why it could not run
};

// The test "Suite.DISABLED_Name" runs with PUMP_CHILD_ARG=argument in its
// environment.
ChildRun RunAsNobody(const std::string& disabledTest, const std::string& argument);

// The argument given to this process by RunAsNobody, or empty.
std::string ChildArgument();

}  // namespace pump::testing
