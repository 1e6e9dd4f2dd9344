// The test broker under its older name, for the benchmarks that still
// include it from here; the rig itself is tests/support/test_broker.h.
#pragma once

#include "tests/support/test_broker.h"

namespace pump::remote::testing {

using pump::testing::TestBroker;

}  // namespace pump::remote::testing
