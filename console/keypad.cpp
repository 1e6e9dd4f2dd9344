// Keypad setpoint entry and the RUN and STOP keys.
#include "console/main_window.h"

namespace pump::console {

void Form1::DigitKey(char) {}

void Form1::Cmd0_Click(int) { DigitKey('0'); }
void Form1::Cmd1_Click(int) { DigitKey('1'); }
void Form1::Cmd2_Click(int) { DigitKey('2'); }
void Form1::Cmd3_Click(int) { DigitKey('3'); }
void Form1::Cmd4_Click(int) { DigitKey('4'); }
void Form1::Cmd5_Click(int) { DigitKey('5'); }
void Form1::Cmd6_Click(int) { DigitKey('6'); }
void Form1::Cmd7_Click(int) { DigitKey('7'); }
void Form1::Cmd8_Click(int) { DigitKey('8'); }
void Form1::Cmd9_Click(int) { DigitKey('9'); }
void Form1::Cmdl_Click(int) {}
void Form1::Cmdp_Click(int) {}
void Form1::Cmdr_Click(int) {}
void Form1::Cmds_Click(int) {}

}  // namespace pump::console
