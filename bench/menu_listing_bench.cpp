// Listing a folder into a menu (what pointing at a folder item costs) against the catalog walk
// alone over the same folder, in the same run: the difference is what making the items costs
// (display names, icons, Launch Services flags, records).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "plugin/entry/menu_cycle.h"
#include "plugin/menu/folder_menu.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/files/files.h"

namespace {

namespace fs = std::filesystem;

struct Setup {
  fs::path disk;
  Setup() {
    std::string pattern = (fs::temp_directory_path() / "vantorel-bench-XXXXXX").string();
    disk = mkdtemp(pattern.data());
    setenv("VANTOREL_SYSTEM_DISK", disk.c_str(), 1);
    CFURLRef url = tb::CFURLFromPath(fs::path(VANTOREL_BINARY_DIR) / "Vantorel.plugin", true);
    gPluginBundle = CFBundleCreate(nullptr, url);
    CFRelease(url);
    for (MenuRef& m : gMenuPool) CreateNewMenu(0, 0, &m);
    ResetPreferences();
  }
  ~Setup() {
    for (MenuRef& m : gMenuPool) DisposeMenu(m);
    std::error_code ignored;
    fs::remove_all(disk, ignored);
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// A folder of `count` entries: documents, one folder in ten.
const FSSpec& FolderOf(int count) {
  static std::map<int, FSSpec> made;
  if (auto it = made.find(count); it != made.end()) return it->second;
  fs::path folder = Shared().disk / ("Folder " + std::to_string(count));
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    if (i % 10 == 0) {
      fs::create_directories(folder / ("folder " + std::to_string(i)));
    } else {
      std::ofstream(folder / ("document " + std::to_string(i) + ".txt")) << i;
    }
  }
  FSRef ref;
  FSSpec spec{};
  FSPathMakeRef(reinterpret_cast<const UInt8*>(folder.c_str()), &ref, nullptr);
  FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
  return made[count] = spec;
}

void BuildFolderMenuItems(benchmark::State& state, bool icons) {
  const FSSpec& folder = FolderOf(static_cast<int>(state.range(0)));
  gPrefs[kPrefsMenuByte] = icons ? kPrefMenuDefaults : (kPrefMenuDefaults & ~kPrefShowIcons);
  for (auto _ : state) {
    BuildFolderMenu(&folder, gMenuPool[2], 1, false);
    benchmark::DoNotOptimize(CountMenuItems(gMenuPool[2]));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void MenuListing(benchmark::State& state) {
  BuildFolderMenuItems(state, true);
}
void MenuListingNoIcons(benchmark::State& state) {
  BuildFolderMenuItems(state, false);
}

// The baseline: the same catalog walk with nothing made of the entries.
void CatalogWalk(benchmark::State& state) {
  const FSSpec& folder = FolderOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Str63 name;
    std::copy(folder.name, folder.name + 64, name);
    CInfoPBRec pb{};
    pb.dirInfo.ioNamePtr = name;
    pb.dirInfo.ioVRefNum = folder.vRefNum;
    pb.dirInfo.ioDrDirID = folder.parID;
    PBGetCatInfoSync(&pb);
    SInt32 folderID = pb.dirInfo.ioDrDirID;
    UInt16 entries = pb.dirInfo.ioDrNmFls;
    int listed = 0;
    for (SInt16 i = 1; i <= static_cast<SInt16>(entries); ++i) {
      Str255 entryName;
      CInfoPBRec entry{};
      entry.hFileInfo.ioNamePtr = entryName;
      entry.hFileInfo.ioVRefNum = folder.vRefNum;
      entry.hFileInfo.ioDirID = folderID;
      entry.hFileInfo.ioFDirIndex = i;
      if (PBGetCatInfoSync(&entry) == noErr) ++listed;
    }
    benchmark::DoNotOptimize(listed);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(CatalogWalk)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(MenuListingNoIcons)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(MenuListing)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
