#include "desktop/script/script_session.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "desktop/cmm/describe_menu.h"
#include "desktop/cmm/menu_tracking.h"
#include "desktop/finder/finder.h"
#include "desktop/script/item_paths.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/fourcc.h"
#include "toolbox/drivers/script/key_names.h"
#include "toolbox/drivers/script/script_reader.h"
#include "toolbox/events/event_loop.h"

namespace desktop::script {
namespace {

namespace driver = tb::drivers::script;
using Words = std::vector<std::string>;

// Turns of the event loop after a choice: events a process sends itself arrive on the next
// turn; the rest leave room for a request that leads to another.
constexpr int kTurnsAfterChoice = 5;

// A failed command: its message, printed by the caller.
struct Failure {
  std::string message;
};

std::string Quoted(const std::string& raw) {
  std::string out = "\"";
  for (char c : raw) out += c == '\0' ? std::string("\\0") : std::string(1, c);
  return out + "\"";
}

std::string Quoted(MenuRef menu, MenuItemIndex item) {
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, item, &text);
  std::string raw = tb::Utf8FromCFString(text);
  if (text) CFRelease(text);
  return Quoted(raw);
}

std::string PathText(std::span<const MenuItemIndex> path) {
  std::string text;
  for (MenuItemIndex i : path) text += (text.empty() ? "" : " ") + std::to_string(i);
  return text;
}

class Session {
 public:
  Session(std::ostream& out, cmm::ContextualMenuHost& host) : out_(out), tracking_(host) {}

  // Runs one command; a failure comes back for the caller to report.
  std::optional<Failure> Run(const Words& words) {
    static const std::map<std::string, void (Session::*)(const Words&)> kCommands = {
        {"keys", &Session::Keys},       {"click", &Session::Click}, {"point", &Session::Point},
        {"choose", &Session::Choose},   {"close", &Session::Close}, {"print", &Session::Print},
        {"journal", &Session::Journal}, {"ls", &Session::List},
    };
    auto command = kCommands.find(words.front());
    if (command == kCommands.end()) return Failure{"unknown command \"" + words.front() + "\""};
    failure_.reset();
    (this->*command->second)(words);
    return failure_;
  }

 private:
  void Fail(std::string message) { failure_ = Failure{std::move(message)}; }

  bool Arity(const Words& words, size_t least, size_t most, const char* usage) {
    size_t n = words.size() - 1;
    if (n >= least && n <= most) return true;
    Fail(std::string("usage: ") + usage);
    return false;
  }

  void Keys(const Words& words) {
    if (!Arity(words, 1, 1, "keys none|cmd|shift|caps|option|control[+...]")) return;
    UInt32 modifiers = 0;
    if (!driver::ParseModifiers(words[1], &modifiers))
      return Fail("unknown keys \"" + words[1] + "\"");
    modifiers_ = modifiers;
    tb::events::SetCurrentKeyModifiers(modifiers_);
    out_ << "keys: " << driver::ModifiersText(modifiers_) << "\n";
  }

  void Click(const Words& words) {
    if (!Arity(words, 1, SIZE_MAX, "click PATH [PATH...]")) return;
    std::vector<FSSpec> items;
    for (size_t i = 1; i < words.size(); ++i) {
      FSSpec spec;
      if (!SpecForPath(words[i], &spec)) return Fail("no such item: " + words[i]);
      items.push_back(spec);
    }
    tracking_.Open(items, modifiers_);
    PrintMenu();
  }

  bool ReadPath(const Words& words, const char* usage, std::vector<MenuItemIndex>* path) {
    if (!Arity(words, 1, SIZE_MAX, usage)) return false;
    for (size_t i = 1; i < words.size(); ++i) {
      MenuItemIndex index = 0;
      if (!driver::ParseItemIndex(words[i], &index)) {
        Fail("not an item number: \"" + words[i] + "\"");
        return false;
      }
      path->push_back(index);
    }
    return true;
  }

  // Reports a path that could not be followed; false when there was nothing to report.
  bool PathFailed(const cmm::PathResult& result, std::span<const MenuItemIndex> path) {
    using cmm::PathError;
    if (result.error == PathError::none) return false;
    MenuRef menu = result.menu;
    MenuItemIndex item = result.item;
    std::string where = path.empty() ? "" : "item " + PathText(path.first(result.step + 1));
    switch (result.error) {
      case PathError::none:
        break;
      case PathError::noMenu:
        Fail("no menu is open");
        break;
      case PathError::emptyPath:
        Fail("no item given");
        break;
      case PathError::outOfRange:
        Fail(where + ": no such item (the menu has " + std::to_string(CountMenuItems(menu)) + ")");
        break;
      case PathError::disabled:
        Fail(where + " " + Quoted(menu, item) + " is disabled");
        break;
      case PathError::noSubmenu:
        Fail(where + " " + Quoted(menu, item) + " has no submenu");
        break;
      case PathError::hasSubmenu:
        Fail(where + " " + Quoted(menu, item) + " opens a submenu");
        break;
    }
    return true;
  }

  void Point(const Words& words) {
    std::vector<MenuItemIndex> path;
    if (!ReadPath(words, "point I [J...]", &path)) return;
    cmm::PathResult result = tracking_.Point(path);
    if (PathFailed(result, path)) return;
    std::string title = Quoted(result.menu, result.item);
    if (!result.submenu) {
      out_ << "no submenu: " << title << "\n";
      return;
    }
    out_ << "submenu of " << title << ":\n";
    std::string text = cmm::DescribeMenuNumbered(result.submenu, 1);
    out_ << (text.empty() ? "  (empty)\n" : text);
  }

  void Choose(const Words& words) {
    std::vector<MenuItemIndex> path;
    if (!ReadPath(words, "choose I [J...]", &path)) return;
    size_t journalBefore = finder::Journal().size();
    cmm::ChoiceResult choice = tracking_.Choose(path, modifiers_);
    if (PathFailed(choice.path, path)) return;
    out_ << "chose " << Quoted(choice.itemText);
    if (choice.command != 0) out_ << "  [" << CommandText(choice.command) << "]";
    out_ << ": " << Outcome(choice) << "\n";

    // The Finder is this process: its Apple events wait for the loop's next turns.
    for (int turn = 0; turn < kTurnsAfterChoice; ++turn) tb::events::RunLoopOnce(0);
    auto journal = finder::Journal();
    if (journal.size() <= journalBefore) out_ << "finder: nothing\n";
    for (size_t i = journalBefore; i < journal.size(); ++i)
      out_ << "finder: " << journal[i] << "\n";
  }

  static std::string Outcome(const cmm::ChoiceResult& choice) {
    if (choice.handedToPlugin) {
      return "handed to the plug-in (HandleSelection " +
             std::string(choice.selectionResult == noErr ? "done" : "failed") + ")";
    }
    if (choice.command == 0) return "no command";
    return choice.commandResult == noErr ? "handled" : "not handled";
  }

  static std::string CommandText(MenuCommand command) {
    std::string code = tb::FourCCText(command);
    bool printable = command > 0xFFFF;
    for (char c : code) printable = printable && c >= 0x20 && c < 0x7F;
    return printable ? "'" + code + "'" : std::to_string(command);
  }

  void Close(const Words& words) {
    if (!Arity(words, 0, 0, "close")) return;
    if (!tracking_.menu()) return Fail("no menu is open");
    tracking_.Close();
    out_ << "closed\n";
  }

  void Print(const Words& words) {
    if (!Arity(words, 0, 0, "print")) return;
    if (!tracking_.menu()) return Fail("no menu is open");
    PrintMenu();
  }

  void PrintMenu() {
    std::string text = cmm::DescribeMenuNumbered(tracking_.menu(), 1);
    out_ << "menu:" << (text.empty() ? " (empty)\n" : "\n" + text);
  }

  void Journal(const Words& words) {
    if (!Arity(words, 0, 0, "journal")) return;
    auto lines = finder::Journal();
    out_ << "journal:" << (lines.empty() ? " (empty)" : "") << "\n";
    for (const auto& line : lines) out_ << "  " << line << "\n";
  }

  void List(const Words& words) {
    if (!Arity(words, 1, 1, "ls PATH")) return;
    std::error_code error;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(words[1], error)) {
      std::string name = entry.path().filename().string();
      if (name.starts_with("._")) continue;  // metadata sidecars are part of their item
      std::error_code typeError;
      names.push_back(entry.is_directory(typeError) ? name + "/" : name);
    }
    if (error) return Fail("cannot list " + words[1] + ": " + error.message());
    std::sort(names.begin(), names.end());
    out_ << words[1] << ":" << (names.empty() ? " (empty)" : "") << "\n";
    for (const auto& name : names) out_ << "  " << name << "\n";
  }

  std::ostream& out_;
  cmm::MenuTracking tracking_;
  UInt32 modifiers_ = 0;
  std::optional<Failure> failure_;
};

}  // namespace

int RunScript(std::istream& in, std::ostream& out, cmm::ContextualMenuHost& host,
              const Options& options) {
  Session session(out, host);
  driver::Reader reader(in);
  driver::Command command;
  std::string error;
  while (reader.Next(&command, &error)) {
    out << "> " << command.text << "\n";
    std::optional<Failure> failure;
    if (!error.empty()) {
      failure = Failure{error};
    } else {
      failure = session.Run(command.words);
    }
    out.flush();
    if (!failure) continue;
    out << "error: line " << command.line << ": " << failure->message << "\n";
    out.flush();
    if (options.strict) return 1;
  }
  return 0;
}

}  // namespace desktop::script
