// Arbitrary bytes in arbitrary read sizes through frame reassembly and the
// main window's reply handling. Every frame handed on must be nine bytes
// with "Q" first and "Y" ninth; the displays only ever show four characters
// (one per byte) from a frame, and the session's state holds the same
// characters; nothing but the poll goes out on the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/frame_assembler.h"
#include "tests/support/console_harness.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Characters in UTF-8 text: every byte that does not continue a character.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

// The first byte of each chunk says how many of the following bytes form one read.
template <typename Feed>
void InReads(std::string_view data, Feed feed) {
  while (!data.empty()) {
    const std::size_t size = 1 + static_cast<unsigned char>(data.front()) % 32;
    data.remove_prefix(1);
    const std::string_view read = data.substr(0, size);
    data.remove_prefix(read.size());
    feed(read);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view data(reinterpret_cast<const char*>(bytes), size);

  pump::link::FrameAssembler assembler;
  std::size_t frames = 0;
  InReads(data, [&](std::string_view read) {
    assembler.feed(read, [&](std::string_view frame) {
      Require(frame.size() == 9 && frame[0] == 'Q' && frame[8] == 'Y');
      ++frames;
    });
    Require(assembler.pending().size() < 9 + 32);
  });
  Require(frames <= size / 9);

  pump::testing::ConsoleHarness f;
  f.openPort("1");
  InReads(data, [&](std::string_view read) {
    f.serial.receive(read);
    for (const pump::Label* shown :
         {&f.window->display.currentPressure, &f.window->display.pressureLimit,
          &f.window->display.flowSetpoint}) {
      Require(CharacterCount(shown->caption()) == 4 || shown->caption() == "00.0" ||
              shown->caption() == "02.0" || shown->caption() == "000");
    }
    const auto& state = f.session->state();
    Require(state.currentPressure.characters == f.window->display.currentPressure.caption());
    Require(!state.currentPressure.number || state.currentPressure.number->places <= 3);
  });
  f.clock.advance(3000);
  for (const auto& written : f.serial.written) Require(written == "Q00F0000Y");
  return 0;
}
