#include "console/port_box.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "link/port_name.h"
#include "texts/operator_texts.h"

namespace pump::console {
namespace {

constexpr char kFirstPort[] = "1";  // the answer when no port was ever opened

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits starting at `at`, without leading zeros.
std::string_view DigitRun(std::string_view s, std::size_t at) {
  std::size_t end = at;
  while (end < s.size() && IsDigit(s[end])) ++end;
  std::string_view run = s.substr(at, end - at);
  while (run.size() > 1 && run.front() == '0') run.remove_prefix(1);
  return run;
}

// Compares digit runs as numbers, so that /dev/ttyS2 comes before /dev/ttyS10.
bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const std::string_view x = DigitRun(a, i), y = DigitRun(b, j);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      while (i < a.size() && IsDigit(a[i])) ++i;
      while (j < b.size() && IsDigit(b[j])) ++j;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i, ++j;
  }
  return a.size() - i < b.size() - j;
}

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string HintLine(const FoundPort& port) {
  const std::string description = Trimmed(port.description);
  return description.empty() ? port.path : port.path + "  " + description;
}

std::string DefaultAnswer(const std::optional<std::string>& lastAnswer) {
  if (lastAnswer && link::PortDevice(*lastAnswer)) return *lastAnswer;
  return kFirstPort;
}

}  // namespace

HintedInputBox PortBox(std::vector<FoundPort> found, const std::optional<std::string>& lastAnswer) {
  std::erase_if(found, [](const FoundPort& port) { return port.path.empty(); });
  std::stable_sort(found.begin(), found.end(), [](const FoundPort& a, const FoundPort& b) {
    return NaturalLess(a.path, b.path);
  });
  found.erase(std::unique(found.begin(), found.end(),
                          [](const FoundPort& a, const FoundPort& b) { return a.path == b.path; }),
              found.end());

  HintedInputBox box{texts::kPortPrompt, texts::kPortTitle, DefaultAnswer(lastAnswer), {}, {}};
  for (const auto& port : found) {
    box.hintLines.push_back(HintLine(port));
    box.completions.push_back(port.path);
  }
  box.hintLines.emplace_back(link::kSimulatedPort);
  box.completions.emplace_back(link::kSimulatedPort);
  return box;
}

}  // namespace pump::console
