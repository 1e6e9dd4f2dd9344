#include "sim/sim_options.h"

#include <charconv>
#include <functional>
#include <map>

namespace pump::sim {

namespace {

template <typename Number>
std::optional<Number> Parse(std::string_view text, Number low, Number high) {
  Number value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

ParsedSimOptions ParseSimOptions(const std::vector<std::string_view>& args) {
  SimOptions options;
  using Setter = std::function<bool(std::string_view)>;
  const std::map<std::string_view, Setter, std::less<>> valued{
      {"--address",
       [&](std::string_view v) {
         const auto n = Parse<int>(v, 0, 99);
         if (n) options.pump.address = *n;
         return n.has_value();
       }},
      {"--baud",
       [&](std::string_view v) {
         const auto n = Parse<int>(v, 50, 4000000);
         if (n) options.pump.baud = *n;
         return n.has_value();
       }},
      {"--seed",
       [&](std::string_view v) {
         const auto n = Parse<std::uint32_t>(v, 0, UINT32_MAX);
         if (n) options.pump.seed = *n;
         return n.has_value();
       }},
      {"--burst",
       [&](std::string_view v) {
         const auto n = Parse<int>(v, 1, 10000);
         if (n) options.faults.burst = *n;
         return n.has_value();
       }},
      {"--hangup-after",
       [&](std::string_view v) {
         const auto n = Parse<double>(v, 0.0, 1e6);
         if (n) options.hangupAfterSeconds = *n;
         return n.has_value();
       }},
      {"--return-after",
       [&](std::string_view v) {
         const auto n = Parse<double>(v, 0.0, 1e6);
         if (n) options.returnAfterSeconds = *n;
         return n.has_value();
       }},
      {"--link",
       [&](std::string_view v) {
         options.linkName = std::string(v);
         return !v.empty();
       }},
      {"--stream",
       [&](std::string_view v) {
         const auto n = Parse<long long>(v, 1, 1'000'000'000);
         if (n) options.streamReplies = *n;
         return n.has_value();
       }},
      {"--log-writes",
       [&](std::string_view v) {
         options.writeLog = std::string(v);
         return !v.empty();
       }},
      {"--log-received",
       [&](std::string_view v) {
         options.receivedLog = std::string(v);
         return !v.empty();
       }},
  };
  const std::map<std::string_view, bool*, std::less<>> flags{
      {"--noise", &options.faults.noise},
      {"--split", &options.faults.split},
      {"--join", &options.faults.join},
      {"--silent", &options.faults.silent},
  };

  ParsedSimOptions result;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    std::optional<std::string_view> value;
    if (const auto eq = name.find('='); eq != std::string_view::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (name == "--help" || name == "-h") {
      result.help = true;
      return result;
    }
    if (const auto flag = flags.find(name); flag != flags.end() && !value) {
      *flag->second = true;
      continue;
    }
    const auto setter = valued.find(name);
    if (setter == valued.end()) {
      result.error = "unknown option " + std::string(args[i]);
      return result;
    }
    if (!value) {
      if (i + 1 == args.size()) {
        result.error = "option " + std::string(name) + " needs a value";
        return result;
      }
      value = args[++i];
    }
    if (!setter->second(*value)) {
      result.error = "bad value for " + std::string(name) + ": " + std::string(*value);
      return result;
    }
  }
  result.options = options;
  return result;
}

}  // namespace pump::sim
