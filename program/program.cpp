#include "program/program.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "program/json_numbers.h"

namespace pump::program {
namespace {

using Json = nlohmann::json;

Fault StepFault(int step, std::string field, std::string message) {
  return Fault{step, std::move(field), std::move(message)};
}

std::string StepName(int step) { return "step " + std::to_string(step); }

std::optional<Fault> StepFault(const Step& step, int number) {
  if (step.seconds < 1 || step.seconds > kMaxTotalSeconds)
    return StepFault(number, "seconds", StepName(number) + ": seconds must be 1 to 360000");
  auto flowOk = [](int flow) { return flow >= 0 && flow <= kMaxFlowMlPerMinute; };
  if (!flowOk(step.flowStartMlMin))
    return StepFault(number, "flow_start",
                     StepName(number) + ": flow_start must be 0 to 200 ml/min");
  if (!flowOk(step.flowEndMlMin))
    return StepFault(number, "flow_end", StepName(number) + ": flow_end must be 0 to 200 ml/min");
  if (step.pressureLimitTenths < 0 || step.pressureLimitTenths > kMaxPressureLimitTenths)
    return StepFault(number, "pressure_limit",
                     StepName(number) + ": pressure_limit must be 0.0 to 5.0 MPa");
  return std::nullopt;
}

std::variant<Step, Fault> ReadStep(const Json& json, int number) {
  if (!json.is_object()) return StepFault(number, "", StepName(number) + ": not an object");
  static constexpr NumberField kFields[] = {
      {"seconds", WholeNumber, "a whole number of seconds"},
      {"flow_start", WholeNumber, "a whole number of ml/min"},
      {"flow_end", WholeNumber, "a whole number of ml/min"},
      {"pressure_limit", Tenths, "a number of MPa with one decimal"}};
  long long values[4] = {};
  std::pair<std::string, std::string> wrong;
  if (!ReadNumberFields(json, kFields, 4, values, wrong))
    return StepFault(number, wrong.first, StepName(number) + ": " + wrong.second);
  Step step{values[0], static_cast<int>(values[1]), static_cast<int>(values[2]),
            static_cast<int>(values[3])};
  if (auto fault = StepFault(step, number)) return *fault;
  return step;
}

std::variant<Program, Fault> ReadParsed(const Json& json) {
  if (!json.is_object()) return Fault{0, "", "a program is a JSON object"};
  const auto version = json.find("version");
  if (version == json.end() || !version->is_number_integer() || version->get<long long>() != 1)
    return Fault{0, "version", "version must be 1"};
  const auto name = json.find("name");
  if (name == json.end() || !name->is_string()) return Fault{0, "name", "name must be a text"};
  const auto steps = json.find("steps");
  if (steps == json.end() || !steps->is_array()) return Fault{0, "steps", "steps must be a list"};
  if (steps->size() > static_cast<std::size_t>(kMaxSteps))
    return Fault{0, "steps", "a program has at most 999 steps"};
  Program program{name->get<std::string>(), {}};
  for (std::size_t i = 0; i < steps->size(); ++i) {
    auto step = ReadStep((*steps)[i], static_cast<int>(i) + 1);
    if (auto* fault = std::get_if<Fault>(&step)) return *fault;
    program.steps.push_back(std::get<Step>(step));
  }
  if (auto fault = FirstFault(program)) return *fault;
  return program;
}

}  // namespace

long Program::totalSeconds() const {
  long total = 0;
  for (const Step& step : steps) total += step.seconds;
  return total;
}

std::size_t Program::stepAt(long long elapsedMs) const {
  long long stepEndMs = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    stepEndMs += steps[i].seconds * 1000LL;
    if (elapsedMs < stepEndMs) return i;
  }
  return steps.size();
}

double Program::plannedFlowAt(long long elapsedMs) const {
  if (steps.empty()) return 0;
  long long stepStartMs = 0;
  for (const Step& step : steps) {
    const long long lengthMs = step.seconds * 1000LL;
    if (elapsedMs < stepStartMs + lengthMs) {
      const double through = static_cast<double>(std::max(0LL, elapsedMs - stepStartMs)) / lengthMs;
      return step.flowStartMlMin + (step.flowEndMlMin - step.flowStartMlMin) * through;
    }
    stepStartMs += lengthMs;
  }
  return steps.back().flowEndMlMin;
}

double Program::volumeMl() const {
  double volume = 0;
  for (const Step& step : steps)
    volume += (step.flowStartMlMin + step.flowEndMlMin) / 2.0 * step.seconds / 60.0;
  return volume;
}

std::optional<Fault> FirstFault(const Program& program) {
  if (program.steps.empty()) return Fault{0, "steps", "a program has at least one step"};
  if (program.steps.size() > static_cast<std::size_t>(kMaxSteps))
    return Fault{0, "steps", "a program has at most 999 steps"};
  for (std::size_t i = 0; i < program.steps.size(); ++i)
    if (auto fault = StepFault(program.steps[i], static_cast<int>(i) + 1)) return fault;
  if (program.totalSeconds() > kMaxTotalSeconds)
    return Fault{0, "steps", "a program runs at most 100 hours in all"};
  return std::nullopt;
}

std::variant<Program, Fault> ReadProgram(std::string_view json) {
  Json parsed = Json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) return Fault{0, "", "not valid JSON"};
  return ReadParsed(parsed);
}

std::string WriteProgram(const Program& program) {
  Json steps = Json::array();
  for (const Step& step : program.steps)
    steps.push_back({{"seconds", step.seconds},
                     {"flow_start", step.flowStartMlMin},
                     {"flow_end", step.flowEndMlMin},
                     {"pressure_limit", step.pressureLimitTenths / 10.0}});
  const Json json = {{"version", 1}, {"name", program.name}, {"steps", steps}};
  return json.dump(2, ' ', /*ensure_ascii=*/false, Json::error_handler_t::replace);
}

}  // namespace pump::program
