// vantorel-desktop [--install-plugin BUNDLE] [FOLDER...]
// vantorel-desktop --headless
//
// Registers as the Finder, loads the contextual-menu plug-ins of the system disk, opens the
// contextual menu for a click on FOLDER (default: the home folder), points at each plug-in's
// item as a user would (so the plug-in fills its submenu) and prints the menu. Headless, it
// only carries out the Finder's Apple events until it is asked to quit.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "desktop/cmm/plugin_host.h"
#include "desktop/finder/finder.h"
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

bool SpecForPath(const std::filesystem::path& path, FSSpec* spec) {
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  FSRef ref;
  return FSPathMakeRef(reinterpret_cast<const UInt8*>(absolute.c_str()), &ref, nullptr) == noErr &&
         FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, spec, nullptr) == noErr;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> clicked;
  std::filesystem::path install;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--headless") {
      return desktop::finder::RunHeadless(-1) == noErr ? 0 : 1;
    } else if (arg == "--install-plugin" && i + 1 < argc) {
      install = argv[++i];
    } else if (arg.starts_with("-")) {
      return Usage();
    } else {
      clicked.emplace_back(arg);
    }
  }
  if (clicked.empty()) clicked.emplace_back(getenv("HOME") ? getenv("HOME") : "/");

  tb::processes::RegisterCurrentProcess('FNDR', 'MACS', "Finder", {}, 0);
  ProcessSerialNumber self;
  GetCurrentProcess(&self);
  SetFrontProcess(&self);
  desktop::finder::InstallHandlers();

  if (!install.empty() && !InstallPlugin(install)) return 1;

  std::printf("System disk: %s\n", tb::files::SystemDisk()->root.c_str());
  desktop::cmm::ContextualMenuHost host;
  host.LoadPlugins();
  for (const auto& plugin : host.plugins()) {
    std::string identifier = tb::Utf8FromCFString(CFBundleGetIdentifier(plugin.plugin));
    std::printf("Loaded plug-in %s (%s)\n", identifier.c_str(), plugin.bundlePath.c_str());
  }
  if (host.plugins().empty()) std::printf("No contextual-menu plug-ins found.\n");

  std::vector<FSSpec> items;
  for (const auto& path : clicked) {
    FSSpec spec;
    if (!SpecForPath(path, &spec)) {
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
