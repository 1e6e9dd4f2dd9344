// Opening the line, the status poll, the close and the reply handling.
#include "console/main_window.h"

namespace pump::console {

void Form1::Communication_Click() {}

void Form1::Timer2_Timer() {}

void Form1::Form_Unload() { MSComm1.close(); }

void Form1::MSComm1_OnComm() {}

void Form1::HandleReply(std::string_view) {}

}  // namespace pump::console
