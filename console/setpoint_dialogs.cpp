// Setpoint dialogs and the run and stop menu items.
#include "console/main_window.h"

namespace pump::console {

void Form1::liquid_Click() {}
void Form1::pressure_Click() {}
void Form1::Pump_NO_Click() {}
void Form1::run_Click() {}
void Form1::stop_Click() {}
void Form1::rrun_Click() {}
void Form1::rstop_Click() {}

}  // namespace pump::console
