// The Contextual Menu Manager: loads contextual-menu plug-ins and runs their menu cycle.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "toolbox/cf/plugin.h"
#include "toolbox/cmm/contextual_menu_plugin.h"
#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

namespace desktop::cmm {

struct LoadedPlugin {
  std::filesystem::path bundlePath;
  CFPlugInRef plugin = nullptr;
  ContextualMenuInterfaceStruct** interface = nullptr;
};

// The folders searched for plug-in bundles: "Library/Contextual Menu Items" on the system disk
// and in the user's home folder there.
std::vector<std::filesystem::path> PluginFolders();

class ContextualMenuHost {
 public:
  ContextualMenuHost() = default;
  ~ContextualMenuHost();
  ContextualMenuHost(const ContextualMenuHost&) = delete;
  ContextualMenuHost& operator=(const ContextualMenuHost&) = delete;

  // Loads every bundle of the plug-in folders; one that fails to load is skipped.
  void LoadPlugins();
  // Loads one bundle; false when it has no usable contextual-menu factory.
  bool LoadPlugin(const std::filesystem::path& bundle);
  const std::vector<LoadedPlugin>& plugins() const { return plugins_; }

  // Asks every plug-in for its items for a click on `items` and returns the menu built from
  // them (owned by the host until CloseMenu).
  MenuRef OpenMenu(const std::vector<FSSpec>& items);
  // Ends the cycle: every plug-in cleans up, the host's menus are disposed of.
  void CloseMenu();

  MenuRef menu() const { return menu_; }
  // The plug-in whose command pairs made the item, or nullptr for the host's own items.
  const LoadedPlugin* OwnerOf(MenuRef menu, MenuItemIndex item) const;

 private:
  void AppendPairs(MenuRef menu, const AEDescList& pairs, size_t plugin, int depth);

  struct ItemOwner {
    MenuRef menu;
    MenuItemIndex item;
    size_t plugin;
  };

  std::vector<LoadedPlugin> plugins_;
  std::vector<MenuRef> ownMenus_;
  std::vector<ItemOwner> owners_;
  AEDescList context_ = {typeNull, nullptr};
  MenuRef menu_ = nullptr;
};

// The menu as text, one line per item: its text in quotes (a NUL shown as \0) indented by
// its level, its command, its style, "disabled", "icon", and ">" for a submenu, whose items
// follow indented.
std::string DescribeMenu(MenuRef menu);

}  // namespace desktop::cmm
