#include "timedrun/run_timer.h"

namespace pump::timedrun {

void RunTimer::stset_Click() {}
void RunTimer::ststart_Click() {}
void RunTimer::stzanting_Click() {}
void RunTimer::stcontiune_Click() {}
void RunTimer::stend_Click() {}
void RunTimer::Timer1_Timer() {}

}  // namespace pump::timedrun
