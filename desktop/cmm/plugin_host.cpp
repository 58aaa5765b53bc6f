#include "desktop/cmm/plugin_host.h"

#include <algorithm>

#include "toolbox/cf/array.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/files/volumes.h"

namespace desktop::cmm {
namespace {

// Nested submenus beyond this depth are ignored; no real plug-in goes near it.
constexpr int kMaxPairDepth = 16;

}  // namespace

std::vector<std::filesystem::path> PluginFolders() {
  std::filesystem::path disk = tb::files::SystemDisk()->root;
  return {disk / "Library" / "Contextual Menu Items",
          disk / "Users" / tb::files::LoginName() / "Library" / "Contextual Menu Items"};
}

ContextualMenuHost::~ContextualMenuHost() {
  CloseMenu();
  for (auto& loaded : plugins_) {
    (*loaded.interface)->Release(loaded.interface);
    CFRelease(loaded.plugin);
  }
}

void ContextualMenuHost::LoadPlugins() {
  for (const auto& folder : PluginFolders()) {
    std::error_code error;
    std::vector<std::filesystem::path> bundles;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      if (entry.is_directory(error)) bundles.push_back(entry.path());
    }
    std::sort(bundles.begin(), bundles.end());  // a stable order between runs
    for (const auto& bundle : bundles) LoadPlugin(bundle);
  }
}

bool ContextualMenuHost::LoadPlugin(const std::filesystem::path& bundle) {
  std::string path = bundle.string();
  CFURLRef url =
      CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(path.c_str()),
                                              static_cast<CFIndex>(path.size()), true);
  if (!url) return false;
  CFPlugInRef plugin = CFPlugInCreate(nullptr, url);
  CFRelease(url);
  if (!plugin) return false;

  CFArrayRef factories = CFPlugInFindFactoriesForPlugInTypeInPlugIn(kContextualMenuTypeID, plugin);
  ContextualMenuInterfaceStruct** interface = nullptr;
  if (factories) {
    for (CFIndex i = 0; i < CFArrayGetCount(factories) && !interface; ++i) {
      auto factory = static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(factories, i));
      auto** unknown = static_cast<ContextualMenuInterfaceStruct**>(
          CFPlugInInstanceCreate(nullptr, factory, kContextualMenuTypeID));
      if (!unknown) continue;
      LPVOID menuInterface = nullptr;
      (*unknown)->QueryInterface(unknown, CFUUIDGetUUIDBytes(kContextualMenuInterfaceID),
                                 &menuInterface);
      (*unknown)->Release(unknown);  // the creation reference
      interface = static_cast<ContextualMenuInterfaceStruct**>(menuInterface);
    }
    CFRelease(factories);
  }
  if (!interface) {
    CFRelease(plugin);
    return false;
  }
  plugins_.push_back({bundle, plugin, interface});
  return true;
}

MenuRef ContextualMenuHost::OpenMenu(const std::vector<FSSpec>& items) {
  CloseMenu();
  AECreateList(nullptr, 0, false, &context_);
  for (const FSSpec& item : items) AEPutPtr(&context_, 0, typeFSS, &item, sizeof item);

  CreateNewMenu(0, 0, &menu_);
  ownMenus_.push_back(menu_);
  for (size_t i = 0; i < plugins_.size(); ++i) {
    AEDescList pairs;
    AECreateList(nullptr, 0, false, &pairs);
    auto** interface = plugins_[i].interface;
    if ((*interface)->ExamineContext(interface, &context_, &pairs) == noErr) {
      AppendPairs(menu_, pairs, i, 0);
    }
    AEDisposeDesc(&pairs);
  }
  return menu_;
}

void ContextualMenuHost::AppendPairs(MenuRef menu, const AEDescList& pairs, size_t plugin,
                                     int depth) {
  long count = 0;
  if (depth > kMaxPairDepth || AECountItems(&pairs, &count) != noErr) return;
  for (long i = 1; i <= count; ++i) {
    AERecord pair;
    AEKeyword keyword;
    if (AEGetNthDesc(&pairs, i, typeAERecord, &keyword, &pair) != noErr) continue;

    Str255 name;
    DescType type;
    Size size = 0;
    if (AEGetParamPtr(&pair, keyAEName, typeChar, &type, name + 1, 255, &size) != noErr) {
      AEDisposeDesc(&pair);
      continue;
    }
    name[0] = static_cast<unsigned char>(std::min<Size>(size, 255));
    AppendMenuItemText(menu, name);
    auto index = static_cast<MenuItemIndex>(CountMenuItems(menu));
    owners_.push_back({menu, index, plugin});

    SInt32 command = 0;
    AEDescList submenuPairs;
    if (AEGetParamDesc(&pair, keyContextualMenuSubmenu, typeAEList, &submenuPairs) == noErr) {
      MenuRef submenu = nullptr;
      CreateNewMenu(0, 0, &submenu);
      ownMenus_.push_back(submenu);
      AppendPairs(submenu, submenuPairs, plugin, depth + 1);
      SetMenuItemHierarchicalMenu(menu, index, submenu);
      AEDisposeDesc(&submenuPairs);
    } else if (AEGetParamPtr(&pair, keyContextualMenuCommandID, typeLongInteger, &type, &command,
                             sizeof command, &size) == noErr) {
      SetMenuItemCommandID(menu, index, static_cast<MenuCommand>(command));
    }
    AEDisposeDesc(&pair);
  }
}

void ContextualMenuHost::CloseMenu() {
  if (!menu_) return;
  for (auto& loaded : plugins_) (*loaded.interface)->PostMenuCleanup(loaded.interface);
  for (MenuRef own : ownMenus_) DisposeMenu(own);
  ownMenus_.clear();
  owners_.clear();
  AEDisposeDesc(&context_);
  menu_ = nullptr;
}

const LoadedPlugin* ContextualMenuHost::OwnerOf(MenuRef menu, MenuItemIndex item) const {
  for (const auto& owner : owners_) {
    if (owner.menu == menu && owner.item == item) return &plugins_[owner.plugin];
  }
  return nullptr;
}

}  // namespace desktop::cmm
