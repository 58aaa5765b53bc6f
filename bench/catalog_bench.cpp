// Indexed enumeration of a large folder through PBGetCatInfoSync (names and Finder info)
// against a plain readdir + lstat loop over the same folder.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "toolbox/files/files.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Disk() {
  static fs::path disk = [] {
    std::string pattern = (fs::temp_directory_path() / "vantorel-bench-XXXXXX").string();
    fs::path made = mkdtemp(pattern.data());
    setenv("VANTOREL_SYSTEM_DISK", made.c_str(), 1);
    static struct Cleanup {
      fs::path path;
      ~Cleanup() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
      }
    } cleanup{made};
    return made;
  }();
  return disk;
}

struct Folder {
  fs::path path;
  SInt32 dirId = 0;
};

// A folder of `count` files, one in ten with Finder info in a sidecar.
const Folder& FolderOf(int count) {
  static std::map<int, Folder> made;
  if (auto it = made.find(count); it != made.end()) return it->second;
  Folder folder;
  folder.path = Disk() / ("Folder " + std::to_string(count));
  fs::create_directories(folder.path);
  for (int i = 0; i < count; ++i) {
    std::string name = "document " + std::to_string(i) + ".txt";
    std::ofstream(folder.path / name) << i;
    if (i % 10 == 0) {
      Str255 pname;
      pname[0] = static_cast<unsigned char>(name.size());
      std::copy(name.begin(), name.end(), pname + 1);
      FSSpec spec{};
      FSRef ref{};
      FSCatalogInfo info{};
      FSPathMakeRef(reinterpret_cast<const UInt8*>(folder.path.c_str()), &ref, nullptr);
      FSGetCatalogInfo(&ref, kFSCatInfoNodeID, &info, nullptr, nullptr, nullptr);
      folder.dirId = static_cast<SInt32>(info.nodeID);
      FSMakeFSSpec(kVantorelSystemDiskVRefNum, folder.dirId, pname, &spec);
      FInfo finfo{};
      finfo.fdType = 'TEXT';
      finfo.fdCreator = 'ttxt';
      FSpSetFInfo(&spec, &finfo);
    }
  }
  return made[count] = folder;
}

void CatalogIndexed(benchmark::State& state) {
  const Folder& folder = FolderOf(static_cast<int>(state.range(0)));
  Str255 name;
  for (auto _ : state) {
    OSType types = 0;
    for (SInt16 i = 1;; ++i) {
      CInfoPBRec pb{};
      pb.hFileInfo.ioNamePtr = name;
      pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
      pb.hFileInfo.ioDirID = folder.dirId;
      pb.hFileInfo.ioFDirIndex = i;
      if (PBGetCatInfoSync(&pb) != noErr) break;
      types ^= pb.hFileInfo.ioFlFndrInfo.fdType;
    }
    benchmark::DoNotOptimize(types);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ReaddirLstat(benchmark::State& state) {
  const Folder& folder = FolderOf(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    size_t total = 0;
    DIR* dir = opendir(folder.path.c_str());
    while (dirent* d = readdir(dir)) {
      std::string path = folder.path.string() + "/" + d->d_name;
      struct stat st;
      if (lstat(path.c_str(), &st) == 0) total += static_cast<size_t>(st.st_size);
    }
    closedir(dir);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

// ioFDirIndex is 16-bit: a walk reaches at most 32,767 entries.
BENCHMARK(CatalogIndexed)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReaddirLstat)->Arg(1000)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);
