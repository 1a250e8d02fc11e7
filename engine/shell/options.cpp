#include "shell/options.h"

#include <functional>

#include "core/game_table.h"


namespace {

struct OptionSpec {
  const char* name;   // with its dashes
  const char* alias;  // a short form, or nullptr
  const char* value;  // the value's name in the usage text; nullptr for a switch
  const char* help;
  std::function<void(ProgramOptions&, const std::string&)> set;
};

// One entry an option: the parser, the usage text and the struct field meet here.
const std::vector<OptionSpec>& Options() {
  static const std::vector<OptionSpec> options = {
      {"--data", nullptr, "DIR", "read the game's media from DIR/Files/",
       [](ProgramOptions& o, const std::string& v) { o.dataFolder = v; }},
      {"--save", nullptr, "DIR", "keep settings, log, scores and screenshots in DIR/Files/",
       [](ProgramOptions& o, const std::string& v) { o.saveFolder = v; }},
      {"--replay", nullptr, "FILE", "play the recorded game FILE back (Escape ends it)",
       [](ProgramOptions& o, const std::string& v) { o.replayFile = v; }},
      {"--headless", nullptr, nullptr, "with --replay: no window; print the score and frame count",
       [](ProgramOptions& o, const std::string&) { o.headless = true; }},
      {"--leaderboard", nullptr, "URL", "send each game's replay to the leaderboard server at URL",
       [](ProgramOptions& o, const std::string& v) { o.leaderboard = v; }},
      {"--help", "-h", nullptr, "print this help and exit", [](ProgramOptions& o, const std::string&) { o.help = true; }},
      {"--version", nullptr, nullptr, "print the version and exit",
       [](ProgramOptions& o, const std::string&) { o.version = true; }},
  };
  return options;
}

}  // namespace

std::string ParseOptions(const std::vector<std::string>& args, ProgramOptions& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg, value;
    bool inlineValue = false;
    if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      inlineValue = true;
    }
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& o : Options()) {
      if (name == o.name || (o.alias && name == o.alias)) spec = &o;
    }
    if (!spec) {
      if (arg.size() > 1 && arg[0] == '-') return "unknown option " + name;
      return "unexpected argument " + arg;
    }
    if (!spec->value) {
      if (inlineValue) return "option " + name + " takes no value";
    } else if (!inlineValue) {
      if (i + 1 >= args.size()) return "option " + name + " needs a value (" + spec->value + ")";
      value = args[++i];
    }
    if (spec->value && value.empty()) return "option " + name + " needs a value (" + spec->value + ")";
    spec->set(out, value);
  }
  return {};
}

std::string UsageText() {
  std::string text = "Usage: " + Core.ThisGame.programName + " [OPTION]...\n\nOptions:\n";
  for (const OptionSpec& o : Options()) {
    std::string left = std::string("  ") + (o.alias ? std::string(o.alias) + ", " : "") + o.name;
    if (o.value) left += std::string(" ") + o.value;
    if (left.size() < 20) left.resize(20, ' ');
    text += left + "  " + o.help + "\n";
  }
  return text;
}

std::string VersionText() { return Core.ThisGame.programName + " " + Core.ThisGame.version; }
