#include "app/console_command_line.h"

#include <QCommandLineParser>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>

namespace pump::app {
namespace {

constexpr std::string_view kUsage =
    "Usage: pump-console [options]\n"
    "       pump-console --headless --port DEVICE [--program FILE] [options]\n"
    "       pump-console --check-program FILE\n"
    "       pump-console --report LOG.csv --output FILE.pdf [--from TIME --to TIME]\n"
    "                    [--pump-id ID]\n";
constexpr std::string_view kToolkitNote =
    "\nThe toolkit's own options, such as -platform NAME and -style NAME, are passed\n"
    "on to it.\n";
constexpr std::string_view kSeeHelp = " (see pump-console --help)\n";

// The options QApplication and its window-system plugin take for themselves:
// accepted here without being listed, and left in argv for QApplication.
constexpr std::array kToolkitValueOptions{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger"};
constexpr std::array kToolkitSwitches{"reverse", "widgetcount"};

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QCommandLineOption Unlisted(QCommandLineOption option) {
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

void DeclareOptions(QCommandLineParser& parser) {
  // One dash or two, as Qt's own options are spelt: -platform offscreen.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      "Operator console for a laboratory metering pump. The broker options override\n"
      "the remote monitoring settings kept by the window.");
  parser.addOption({{"h", "help"}, "show this help and exit"});
  parser.addOption({{"v", "version"}, "show the version and exit"});
  for (const auto& option : remote::ConsoleOptions()) {
    parser.addOption(
        {FromUtf8(option.name), FromUtf8(option.description), FromUtf8(option.valueName)});
  }
  for (const char* name : kToolkitValueOptions) {
    parser.addOption(Unlisted({name, QString(), "value"}));
  }
  for (const char* name : kToolkitSwitches) parser.addOption(Unlisted({name, QString()}));
}

std::string HelpText(const QCommandLineParser& parser) {
  // Qt's first line names the program only when a QCoreApplication exists.
  const QString help = parser.helpText();
  return std::string(kUsage) + help.mid(help.indexOf('\n') + 1).toStdString() +
         std::string(kToolkitNote);
}

// "--name" or "-name" without its dashes.
QStringView OptionName(const QString& typed) {
  return QStringView(typed).mid(typed.startsWith("--") ? 2 : 1);
}

// An option name as the argument spelt it, dashes included.
QString AsTyped(const QStringList& arguments, const QString& name) {
  for (const QString& argument : arguments) {
    const QString typed = argument.section('=', 0, 0);
    if (typed.startsWith('-') && OptionName(typed) == name) return typed;
  }
  return "--" + name;
}

bool TakesValue(QStringView name) {
  for (const auto& option : remote::ConsoleOptions()) {
    if (!option.valueName.empty() && name == FromUtf8(option.name)) return true;
  }
  for (const char* toolkit : kToolkitValueOptions) {
    if (name == QLatin1String(toolkit)) return true;
  }
  return false;
}

// The one switch that may carry a word: --allow-remote-control=yes or =no.
// Qt's parser has no option whose value may be left out, so these arguments
// are kept from it and read here.
constexpr char kWordSwitch[] = "allow-remote-control";

bool NamesWordSwitch(const QString& typed) {
  return typed.startsWith('-') && OptionName(typed) == QLatin1String(kWordSwitch);
}

QStringList WithoutSwitchWords(const QStringList& arguments) {
  QStringList kept;
  for (const QString& argument : arguments) {
    const QString typed = argument.section('=', 0, 0);
    if (typed == argument || !NamesWordSwitch(typed)) kept << argument;
  }
  return kept;
}

// Each --allow-remote-control, bare or with its word, in the order given: the
// last one wins. An argument that is another option's value is passed over.
std::optional<std::string> ReadSwitchWords(const QStringList& arguments,
                                           remote::CommandLine& line) {
  bool valueNext = false;
  for (qsizetype i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
    const QString& argument = arguments[i];
    const QString typed = argument.section('=', 0, 0);
    const bool option = !valueNext && typed.startsWith('-');
    valueNext = option && typed == argument && TakesValue(OptionName(typed));
    if (!option || !NamesWordSwitch(typed)) continue;
    const std::string word = typed == argument ? "yes" : argument.section('=', 1).toStdString();
    if (word.empty()) return "--allow-remote-control takes yes or no";
    if (auto problem = remote::SetOption(line, kWordSwitch, word)) return problem;
  }
  return std::nullopt;
}

// A value missing or one too many. The parser takes the argument after an
// option as its value, so only the last argument can lack one.
std::optional<QString> ValueProblem(const QStringList& arguments) {
  const QString last = arguments.isEmpty() ? QString() : arguments.last();
  if (last.startsWith('-') && TakesValue(OptionName(last))) return last + " needs a value";
  for (const QString& argument : arguments) {
    const QString typed = argument.section('=', 0, 0);
    if (typed != argument && typed.startsWith('-') && !TakesValue(OptionName(typed))) {
      return typed + " takes no value";
    }
  }
  return std::nullopt;
}

// Why the parser refused the arguments, in a few words.
QString ParseProblem(const QCommandLineParser& parser, const QStringList& arguments) {
  if (!parser.unknownOptionNames().isEmpty()) {
    return "unknown option " + AsTyped(arguments, parser.unknownOptionNames().first());
  }
  if (const auto problem = ValueProblem(arguments)) return *problem;
  QString why = parser.errorText();
  if (why.endsWith('.')) why.chop(1);
  return why;
}

remote::CommandLine ToCommandLine(const QCommandLineParser& parser) {
  remote::CommandLine line;
  for (const auto& option : remote::ConsoleOptions()) {
    const QString name = FromUtf8(option.name);
    if (parser.isSet(name)) remote::SetOption(line, option.name, parser.value(name).toStdString());
  }
  return line;
}

CommandLineReading Exit(int status, std::string output, std::string problem) {
  CommandLineReading reading;
  reading.exitStatus = status;
  reading.output = std::move(output);
  reading.problem = std::move(problem);
  return reading;
}

CommandLineReading Refusal(const std::string& why) {
  return Exit(2, {}, "pump-console: " + why + std::string(kSeeHelp));
}

}  // namespace

CommandLineReading ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  DeclareOptions(parser);
  const QStringList forParser = WithoutSwitchWords(arguments);
  const bool parsed = parser.parse(forParser);
  if (parser.isSet("help")) return Exit(0, HelpText(parser), {});
  if (parser.isSet("version")) return Exit(0, "pump-console " PUMP_CONSOLE_VERSION "\n", {});
  if (!parsed) return Refusal(ParseProblem(parser, forParser).toStdString());
  if (!parser.positionalArguments().isEmpty()) {
    return Refusal("unexpected argument " + parser.positionalArguments().first().toStdString());
  }
  remote::CommandLine line = ToCommandLine(parser);
  if (const auto problem = ReadSwitchWords(arguments, line)) return Refusal(*problem);
  if (const auto problem = remote::CommandLineProblem(line)) return Refusal(*problem);
  CommandLineReading reading;
  reading.line = std::move(line);
  return reading;
}

CommandLineReading ReadCommandLine(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  CommandLineReading reading = ParseCommandLine(arguments);
  std::fputs(reading.output.c_str(), stdout);
  std::fputs(reading.problem.c_str(), stderr);
  return reading;
}

}  // namespace pump::app
