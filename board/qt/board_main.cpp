// pump-board: every pump under one broker root in one window. It takes the
// console's broker settings (kept by the console's settings dialog), with the
// command line on top.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

#include "board/qt/board_broker.h"
#include "board/qt/board_window.h"
#include "remote/command_line.h"
#include "remote/qt/remote_settings_store.h"

namespace {

constexpr const char* kSharedOptions[] = {"mqtt-url", "mqtt-user", "mqtt-password-file", "mqtt-ca"};
constexpr char kRootOption[] = "mqtt-topic-prefix-root";

// Qt's own options, passed on to QApplication.
constexpr const char* kToolkitOptions[] = {
    "platform", "display", "style", "geometry", "qwindowgeometry", "platformtheme", "stylesheet"};

void DeclareOptions(QCommandLineParser& parser) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription("Every pump under one MQTT topic root in one window.");
  parser.addOption({{"h", "help"}, "show this help and exit"});
  for (const char* name : kToolkitOptions) {
    QCommandLineOption option(name, QString(), "value");
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const auto& option : pump::remote::ConsoleOptions()) {
    for (const char* shared : kSharedOptions) {
      if (option.name != shared) continue;
      parser.addOption({QString::fromUtf8(option.name.data(), option.name.size()),
                        QString::fromUtf8(option.description.data(), option.description.size()),
                        QString::fromUtf8(option.valueName.data(), option.valueName.size())});
    }
  }
  parser.addOption(
      {kRootOption, "the topic root the consoles publish under (default: pumps)", "ROOT", "pumps"});
}

pump::remote::CommandLine ReadLine(const QCommandLineParser& parser) {
  pump::remote::CommandLine line;
  for (const char* name : kSharedOptions) {
    if (parser.isSet(name)) pump::remote::SetOption(line, name, parser.value(name).toStdString());
  }
  return line;
}

int RunBoard(const std::string& root, const pump::remote::RemoteSettings& settings,
             QSettings& store) {
  using namespace pump::board;
  const std::string requestPrefix = FreshRequestPrefix();
  Board board(root, requestPrefix);
  GroupRuns groups(root, requestPrefix);
  GroupRecordFile record(QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                             .filePath("group-runs.csv")
                             .toStdString());
  auto broker = std::make_unique<qt::BoardBroker>(settings);
  qt::BoardWindow* window = nullptr;
  BoardFeed feed(board, broker->connection(), &BoardTime::Now, [&] {
    if (window) window->boardChanged();
  });
  feed.followGroups(groups, record);
  qt::BoardWindow shown(board, feed, &groups);
  window = &shown;
  shown.setOnSettings([&] { qt::ChangeBroker(&shown, store, broker, feed); });
  feed.start();
  shown.resize(1000, 760);
  shown.show();
  const int status = QApplication::exec();
  window = nullptr;
  broker.reset();
  return status;
}

}  // namespace

// Read before any window exists: --help and a wrong option need no display.
int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  DeclareOptions(parser);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "pump-board: %s (see pump-board --help)\n",
                 parser.errorText().toLocal8Bit().constData());
    return 2;
  }
  if (parser.isSet("help")) {
    const QString help = parser.helpText();
    std::printf("Usage: pump-board [options]\n%s",
                help.mid(help.indexOf('\n') + 1).toLocal8Bit().constData());
    return 0;
  }
  QSettings store(QSettings::IniFormat, QSettings::UserScope, "pump-console", "pump-console");
  const auto applied = pump::remote::ApplyOverrides(
      pump::remote::qt::LoadRemoteSettings(store).settings, ReadLine(parser).remote);
  const std::string root = parser.value(kRootOption).toStdString();
  if (applied.error || root.empty()) {
    std::fprintf(stderr, "pump-board: %s\n",
                 applied.error ? applied.error->c_str() : "the topic root cannot be empty");
    return 2;
  }
  const auto problem = pump::remote::SettingsProblem(applied.settings);
  if (problem && parser.isSet("mqtt-url")) {
    std::fprintf(stderr, "pump-board: %s\n", problem->c_str());
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName("pump-board");
  auto settings = std::optional(applied.settings);
  // Nowhere to connect to yet: the settings dialog asks before the board opens.
  if (settings->brokerUrl.empty() || problem)
    settings = pump::board::qt::AskBrokerSettings(nullptr, store, &*settings);
  if (!settings || settings->brokerUrl.empty()) {
    std::fprintf(stderr, "pump-board: no broker: give --mqtt-url URL\n");
    return 2;
  }
  return RunBoard(root, *settings, store);
}
