#include "group/group_program.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <numeric>
#include <set>

#include "program/json_numbers.h"

namespace pump::group {
namespace {

using Json = nlohmann::json;
using program::Fault;

std::string StepName(int step) { return "step " + std::to_string(step); }

Fault GroupFault(std::string field, std::string message) {
  return Fault{0, std::move(field), std::move(message)};
}

Fault StepFault(int step, std::string field, const std::string& message) {
  return Fault{step, std::move(field), StepName(step) + ": " + message};
}

// A pump id names a broker topic level: no wildcards, no levels of its own.
bool IsPumpId(std::string_view id) {
  return !id.empty() && id.size() <= 64 && id.find_first_of("/#+") == std::string_view::npos &&
         id.find('\0') == std::string_view::npos;
}

std::optional<Fault> SharesFault(const std::vector<int>& shares, std::size_t pumps, int step,
                                 const char* field) {
  if (shares.size() != pumps)
    return StepFault(step, field, std::string(field) + " must give one share per pump");
  for (int share : shares)
    if (share < 0 || share > 100)
      return StepFault(step, field, std::string(field) + " must be whole percents 0 to 100");
  if (std::accumulate(shares.begin(), shares.end(), 0) != 100)
    return StepFault(step, field, std::string(field) + " must add up to 100");
  return std::nullopt;
}

std::optional<Fault> StepFault(const GroupStep& step, std::size_t pumps, int number) {
  if (step.seconds < 1 || step.seconds > program::kMaxTotalSeconds)
    return StepFault(number, "seconds", "seconds must be 1 to 360000");
  const int most = program::kMaxFlowMlPerMinute * static_cast<int>(pumps);
  for (auto [total, field] :
       {std::pair{step.totalStartMlMin, "total_start"}, std::pair{step.totalEndMlMin, "total_end"}})
    if (total < 0 || total > most)
      return StepFault(number, field,
                       std::string(field) + " must be 0 to " + std::to_string(most) + " ml/min");
  if (auto fault = SharesFault(step.sharesStartPercent, pumps, number, "shares_start"))
    return fault;
  if (auto fault = SharesFault(step.sharesEndPercent, pumps, number, "shares_end")) return fault;
  if (step.pressureLimitTenths < 0 || step.pressureLimitTenths > program::kMaxPressureLimitTenths)
    return StepFault(number, "pressure_limit", "pressure_limit must be 0.0 to 5.0 MPa");
  return std::nullopt;
}

}  // namespace

std::vector<int> SplitFlow(int totalMlMin, const std::vector<int>& sharesPercent) {
  std::vector<int> flows;
  std::vector<std::pair<int, std::size_t>> remainders;  // hundredths left over, by pump
  int given = 0;
  for (std::size_t i = 0; i < sharesPercent.size(); ++i) {
    const int hundredths = totalMlMin * sharesPercent[i];
    flows.push_back(hundredths / 100);
    remainders.push_back({hundredths % 100, i});
    given += flows.back();
  }
  std::stable_sort(remainders.begin(), remainders.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (std::size_t k = 0; given < totalMlMin && k < remainders.size(); ++k, ++given)
    ++flows[remainders[k].second];
  return flows;
}

program::Program GroupProgram::part(std::size_t index) const {
  program::Program part{name + " " + pumpIds.at(index), {}};
  for (const GroupStep& step : steps) {
    part.steps.push_back(
        {step.seconds, SplitFlow(step.totalStartMlMin, step.sharesStartPercent)[index],
         SplitFlow(step.totalEndMlMin, step.sharesEndPercent)[index], step.pressureLimitTenths});
  }
  return part;
}

std::optional<program::Fault> FirstGroupFault(const GroupProgram& group) {
  const std::size_t pumps = group.pumpIds.size();
  if (pumps < kFewestPumps || pumps > kMostPumps)
    return GroupFault("pumps", "a group runs on 2 to 4 pumps");
  std::set<std::string> seen;
  for (const std::string& id : group.pumpIds) {
    if (!IsPumpId(id)) return GroupFault("pumps", "pump id \"" + id + "\" is not a pump id");
    if (!seen.insert(id).second) return GroupFault("pumps", "pump " + id + " is named twice");
  }
  if (group.steps.empty()) return GroupFault("steps", "a program has at least one step");
  if (group.steps.size() > static_cast<std::size_t>(program::kMaxSteps))
    return GroupFault("steps", "a program has at most 999 steps");
  for (std::size_t i = 0; i < group.steps.size(); ++i)
    if (auto fault = StepFault(group.steps[i], pumps, static_cast<int>(i) + 1)) return fault;
  for (std::size_t pump = 0; pump < pumps; ++pump) {
    if (auto fault = program::FirstFault(group.part(pump))) {
      fault->message += " (pump " + group.pumpIds[pump] + ")";
      return fault;
    }
  }
  return std::nullopt;
}

namespace {

std::variant<std::vector<int>, Fault> ReadShares(const Json& step, const char* key, int number) {
  const auto found = step.find(key);
  if (found == step.end()) return StepFault(number, key, std::string(key) + " is missing");
  if (!found->is_array())
    return StepFault(number, key, std::string(key) + " must be a list of whole percents");
  std::vector<int> shares;
  for (const Json& value : *found) {
    const auto share = program::WholeNumber(value);
    if (!share || *share < 0 || *share > 100)
      return StepFault(number, key, std::string(key) + " must be whole percents 0 to 100");
    shares.push_back(static_cast<int>(*share));
  }
  return shares;
}

std::variant<GroupStep, Fault> ReadStep(const Json& json, int number) {
  if (!json.is_object()) return StepFault(number, "", "not an object");
  static constexpr program::NumberField kFields[] = {
      {"seconds", program::WholeNumber, "a whole number of seconds"},
      {"total_start", program::WholeNumber, "a whole number of ml/min"},
      {"total_end", program::WholeNumber, "a whole number of ml/min"},
      {"pressure_limit", program::Tenths, "a number of MPa with one decimal"}};
  long long values[4] = {};
  std::pair<std::string, std::string> wrong;
  if (!program::ReadNumberFields(json, kFields, 4, values, wrong))
    return StepFault(number, wrong.first, wrong.second);
  auto start = ReadShares(json, "shares_start", number);
  if (auto* fault = std::get_if<Fault>(&start)) return *fault;
  auto end = ReadShares(json, "shares_end", number);
  if (auto* fault = std::get_if<Fault>(&end)) return *fault;
  return GroupStep{values[0],
                   static_cast<int>(values[1]),
                   static_cast<int>(values[2]),
                   std::get<std::vector<int>>(std::move(start)),
                   std::get<std::vector<int>>(std::move(end)),
                   static_cast<int>(values[3])};
}

std::variant<std::vector<std::string>, Fault> ReadPumpIds(const Json& json) {
  const auto pumps = json.find("pumps");
  if (pumps == json.end() || !pumps->is_array())
    return GroupFault("pumps", "pumps must be a list of pump ids");
  std::vector<std::string> ids;
  for (const Json& id : *pumps) {
    if (!id.is_string()) return GroupFault("pumps", "pumps must be a list of pump ids");
    ids.push_back(id.get<std::string>());
  }
  return ids;
}

std::variant<GroupProgram, Fault> ReadParsed(const Json& json) {
  if (!json.is_object()) return GroupFault("", "a group program is a JSON object");
  const auto version = json.find("version");
  if (version == json.end() || !version->is_number_integer() || version->get<long long>() != 1)
    return GroupFault("version", "version must be 1");
  const auto name = json.find("name");
  if (name == json.end() || !name->is_string()) return GroupFault("name", "name must be a text");
  auto ids = ReadPumpIds(json);
  if (auto* fault = std::get_if<Fault>(&ids)) return *fault;
  const auto steps = json.find("steps");
  if (steps == json.end() || !steps->is_array()) return GroupFault("steps", "steps must be a list");
  if (steps->size() > static_cast<std::size_t>(program::kMaxSteps))
    return GroupFault("steps", "a program has at most 999 steps");
  GroupProgram group{
      name->get<std::string>(), std::get<std::vector<std::string>>(std::move(ids)), {}};
  for (std::size_t i = 0; i < steps->size(); ++i) {
    auto step = ReadStep((*steps)[i], static_cast<int>(i) + 1);
    if (auto* fault = std::get_if<Fault>(&step)) return *fault;
    group.steps.push_back(std::get<GroupStep>(std::move(step)));
  }
  if (auto fault = FirstGroupFault(group)) return *fault;
  return group;
}

}  // namespace

std::variant<GroupProgram, program::Fault> ReadGroupProgram(std::string_view json) {
  const Json parsed = Json::parse(json, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) return GroupFault("", "not valid JSON");
  return ReadParsed(parsed);
}

std::string WriteGroupProgram(const GroupProgram& group) {
  Json steps = Json::array();
  for (const GroupStep& step : group.steps)
    steps.push_back({{"seconds", step.seconds},
                     {"total_start", step.totalStartMlMin},
                     {"total_end", step.totalEndMlMin},
                     {"shares_start", step.sharesStartPercent},
                     {"shares_end", step.sharesEndPercent},
                     {"pressure_limit", step.pressureLimitTenths / 10.0}});
  const Json json = {
      {"version", 1}, {"name", group.name}, {"pumps", group.pumpIds}, {"steps", steps}};
  return json.dump(2, ' ', /*ensure_ascii=*/false, Json::error_handler_t::replace);
}

bool LooksLikeGroupProgram(std::string_view json) {
  const Json parsed = Json::parse(json, nullptr, /*allow_exceptions=*/false);
  return parsed.is_object() && parsed.contains("pumps");
}

}  // namespace pump::group
