// vantorel-desktop [--install-plugin BUNDLE] [FOLDER...]
// vantorel-desktop [--install-plugin BUNDLE] --script FILE|- [--strict]
// vantorel-desktop --headless
//
// Registers as the Finder, loads the contextual-menu plug-ins of the system disk, opens the
// contextual menu for a click on FOLDER (default: the home folder), points at each plug-in's
// item as a user would (so the plug-in fills its submenu) and prints the menu. With --script it
// plays a user's actions read from FILE (or standard input) and prints what the user would
// see. Headless, it only carries out the Finder's Apple events until it is asked to quit.
//
// VANTOREL_LAUNCHER=journal: the Finder records what it would start (applications, documents
// with their default application) without starting anything.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "desktop/cmm/plugin_host.h"
#include "desktop/finder/finder.h"
#include "desktop/script/item_paths.h"
#include "desktop/script/script_session.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/files/volumes.h"
#include "toolbox/menus/menu_model.h"
#include "toolbox/processes/processes.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: vantorel-desktop [--install-plugin BUNDLE] [FOLDER...]\n"
               "       vantorel-desktop [--install-plugin BUNDLE] --script FILE|- [--strict]\n"
               "       vantorel-desktop --headless\n");
  return 2;
}

// What a user does on opening the menu: point at every item a plug-in added that has a
// submenu, so the plug-in can fill it.
void PointAtPluginItems(const desktop::cmm::ContextualMenuHost& host, MenuRef menu) {
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) {
    MenuRef submenu = nullptr;
    GetMenuItemHierarchicalMenu(menu, i, &submenu);
    if (submenu && host.OwnerOf(menu, i)) tb::menus::SendTargetItem(menu, i);
  }
}

// Copies a plug-in bundle into the system disk's "Contextual Menu Items", replacing an older copy.
bool InstallPlugin(const std::filesystem::path& bundle) {
  namespace fs = std::filesystem;
  fs::path folder = desktop::cmm::PluginFolders().front();
  fs::path target = folder / bundle.filename();
  std::error_code error;
  fs::create_directories(folder, error);
  fs::remove_all(target, error);
  fs::copy(bundle, target, fs::copy_options::recursive, error);
  if (error) {
    std::fprintf(stderr, "vantorel-desktop: cannot install %s: %s\n", bundle.c_str(),
                 error.message().c_str());
    return false;
  }
  return true;
}

// Honours VANTOREL_LAUNCHER; false for a value it does not know.
bool ChooseLauncher() {
  const char* launcher = getenv("VANTOREL_LAUNCHER");
  if (!launcher || !*launcher) return true;
  if (std::string(launcher) != "journal") {
    std::fprintf(stderr, "vantorel-desktop: unknown VANTOREL_LAUNCHER \"%s\"\n", launcher);
    return false;
  }
  desktop::finder::Callbacks callbacks;
  callbacks.launcher = [](const desktop::finder::LaunchRequest&) { return true; };
  desktop::finder::SetCallbacks(std::move(callbacks));
  return true;
}

int RunScript(desktop::cmm::ContextualMenuHost& host, const std::string& file, bool strict) {
  for (const auto& plugin : host.plugins()) {
    std::string identifier = tb::Utf8FromCFString(CFBundleGetIdentifier(plugin.plugin));
    std::printf("plug-in %s\n", identifier.c_str());
  }
  std::fflush(stdout);
  desktop::script::Options options;
  options.strict = strict;
  if (file == "-") return desktop::script::RunScript(std::cin, std::cout, host, options);
  std::ifstream in(file);
  if (!in) {
    std::fprintf(stderr, "vantorel-desktop: cannot read %s\n", file.c_str());
    return 2;
  }
  return desktop::script::RunScript(in, std::cout, host, options);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> clicked;
  std::filesystem::path install;
  std::string script;
  bool strict = false;
  bool headless = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--headless") {
      headless = true;
    } else if (arg == "--install-plugin" && i + 1 < argc) {
      install = argv[++i];
    } else if (arg == "--script" && i + 1 < argc) {
      script = argv[++i];
    } else if (arg == "--strict") {
      strict = true;
    } else if (arg.starts_with("-")) {
      return Usage();
    } else {
      clicked.emplace_back(arg);
    }
  }
  if (!script.empty() && !clicked.empty()) return Usage();
  if (!ChooseLauncher()) return 2;
  if (headless) return desktop::finder::RunHeadless(-1) == noErr ? 0 : 1;
  if (clicked.empty()) clicked.emplace_back(getenv("HOME") ? getenv("HOME") : "/");

  tb::processes::RegisterCurrentProcess('FNDR', 'MACS', "Finder", {}, 0);
  ProcessSerialNumber self;
  GetCurrentProcess(&self);
  SetFrontProcess(&self);
  desktop::finder::InstallHandlers();

  if (!install.empty() && !InstallPlugin(install)) return 1;

  desktop::cmm::ContextualMenuHost host;
  host.LoadPlugins();
  if (!script.empty()) return RunScript(host, script, strict);

  std::printf("System disk: %s\n", tb::files::SystemDisk()->root.c_str());
  for (const auto& plugin : host.plugins()) {
    std::string identifier = tb::Utf8FromCFString(CFBundleGetIdentifier(plugin.plugin));
    std::printf("Loaded plug-in %s (%s)\n", identifier.c_str(), plugin.bundlePath.c_str());
  }
  if (host.plugins().empty()) std::printf("No contextual-menu plug-ins found.\n");

  std::vector<FSSpec> items;
  for (const auto& path : clicked) {
    FSSpec spec;
    if (!desktop::script::SpecForPath(path, &spec)) {
      std::fprintf(stderr, "vantorel-desktop: %s: no such item\n", path.c_str());
      return 1;
    }
    items.push_back(spec);
  }

  std::printf("Contextual menu for %s%s:\n", clicked.front().c_str(),
              clicked.size() > 1 ? " and others" : "");
  MenuRef menu = host.OpenMenu(items);
  PointAtPluginItems(host, menu);
  std::string text = desktop::cmm::DescribeMenu(menu);
  std::fputs(text.empty() ? "  (empty)\n" : text.c_str(), stdout);
  host.CloseMenu();
  return 0;
}
