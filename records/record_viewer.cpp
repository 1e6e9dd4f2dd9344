#include "records/record_viewer.h"

namespace pump::records {

void Form2::Command1_Click() {
  form1_.show();
  self_.hide();
}

void Form2::Command2_Click() {}

}  // namespace pump::records
