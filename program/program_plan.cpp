#include "program/program_plan.h"

namespace pump::program {
namespace {

template <typename Start, typename End>
std::vector<PlanPoint> StepLine(const Program& program, Start startOf, End endOf) {
  std::vector<PlanPoint> line;
  long long at = 0;
  for (const Step& step : program.steps) {
    line.push_back({at, startOf(step)});
    at += step.seconds * 1000LL;
    line.push_back({at, endOf(step)});
  }
  return line;
}

}  // namespace

std::vector<PlanPoint> PlannedFlowLine(const Program& program) {
  return StepLine(
      program, [](const Step& step) { return double(step.flowStartMlMin); },
      [](const Step& step) { return double(step.flowEndMlMin); });
}

std::vector<PlanPoint> PressureLimitLine(const Program& program) {
  const auto limit = [](const Step& step) { return step.pressureLimitTenths / 10.0; };
  return StepLine(program, limit, limit);
}

std::vector<long long> StepBoundariesMs(const Program& program) {
  std::vector<long long> boundaries;
  long long at = 0;
  for (const Step& step : program.steps) boundaries.push_back(at += step.seconds * 1000LL);
  return boundaries;
}

}  // namespace pump::program
