#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "desktop/finder/finder.h"
#include "tests/support/temp_system_disk.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/core/memory.h"
#include "toolbox/files/files.h"
#include "toolbox/processes/processes.h"
#include "toolbox/resources/resources.h"

namespace {

namespace fs = std::filesystem;
using desktop::finder::LaunchRequest;

FSSpec SpecOf(const fs::path& path) {
  FSRef ref;
  FSSpec spec{};
  EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr)
      << path;
  EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr), noErr);
  return spec;
}

void SetTypeCreator(const fs::path& path, OSType type, OSType creator) {
  FSSpec spec = SpecOf(path);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  info.fdType = type;
  info.fdCreator = creator;
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
}

// Gives a folder Finder flags, so that it has a sidecar of its own.
void SetFolderFlags(const fs::path& path, UInt16 flags) {
  FSRef ref;
  ASSERT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr);
  FSCatalogInfo info{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info, nullptr, nullptr, nullptr), noErr);
  std::memcpy(info.finderInfo + 8, &flags, sizeof flags);  // frFlags
  ASSERT_EQ(FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info), noErr);
}

std::string Text(const fs::path& path) {
  auto bytes = tb::test::ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

class FinderService : public tb::test::TempSystemDisk {
 protected:
  void SetUp() override {
    TempSystemDisk::SetUp();
    setenv("XDG_DATA_HOME", (root() / "data").c_str(), 1);
    unsetenv("VANTOREL_FINDER_JOURNAL");
    desktop::finder::ClearJournal();
    work_ = disk() / "Work";
    fs::create_directories(work_);
    desktop::finder::SetCallbacks({
        .openFolder = [this](const std::string& f) { seen_.push_back("folder " + f); },
        .reveal = [this](const std::string& f,
                         const std::string& i) { seen_.push_back("reveal " + f + " " + i); },
        .update = [this](const std::string& f,
                         const std::string& i) { seen_.push_back("update " + f + " " + i); },
        .launcher =
            [this](const LaunchRequest& r) {
              std::string line = "run " + (r.program.empty() ? r.uri : r.program);
              for (const auto& a : r.arguments) line += " " + a;
              seen_.push_back(line);
              return true;
            },
    });
    ASSERT_EQ(desktop::finder::InstallHandlers(), noErr);
  }

  fs::path File(const std::string& name, const std::string& text = "data") {
    fs::path path = work_ / name;
    fs::create_directories(path.parent_path());
    tb::test::WriteText(path, text);
    return path;
  }

  // An application bundle whose executable is a script.
  fs::path AppBundle(const std::string& name) {
    fs::path app = work_ / name;
    fs::create_directories(app / "Contents/MacOS");
    tb::test::WriteText(app / "Contents/Info.plist",
                        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                        "<key>CFBundleExecutable</key><string>Tool</string></dict></plist>\n");
    tb::test::WriteText(app / "Contents/MacOS/Tool", "#!/bin/sh\nexit 0\n");
    fs::permissions(app / "Contents/MacOS/Tool", fs::perms::owner_all);
    return app;
  }

  // Sends the request to this process and waits for it to be carried out; returns the error
  // the handler answered with.
  static OSErr Request(AEEventClass cls, AEEventID id, const std::vector<fs::path>& items,
                       bool asList = true, AEKeyword extraKey = 0, const fs::path& extra = {}) {
    ProcessSerialNumber self{0, kCurrentProcess};
    AEAddressDesc target;
    AECreateDesc(typeProcessSerialNumber, &self, sizeof self, &target);
    AppleEvent event, reply;
    AECreateAppleEvent(cls, id, &target, kAutoGenerateReturnID, kAnyTransactionID, &event);
    if (asList) {
      AEDescList list;
      AECreateList(nullptr, 0, false, &list);
      for (const auto& item : items) {
        FSSpec spec = SpecOf(item);
        AEPutPtr(&list, 0, typeFSS, &spec, sizeof spec);
      }
      AEPutParamDesc(&event, keyDirectObject, &list);
      AEDisposeDesc(&list);
    } else {
      FSSpec spec = SpecOf(items.front());
      AEPutParamPtr(&event, keyDirectObject, typeFSS, &spec, sizeof spec);
    }
    if (extraKey) {
      FSSpec spec = SpecOf(extra);
      AEPutParamPtr(&event, extraKey, typeFSS, &spec, sizeof spec);
    }
    EXPECT_EQ(AESend(&event, &reply, kAEWaitReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
    SInt16 err = noErr;
    AEGetParamPtr(&reply, keyErrorNumber, typeShortInteger, nullptr, &err, sizeof err, nullptr);
    AEDisposeDesc(&event);
    AEDisposeDesc(&reply);
    AEDisposeDesc(&target);
    return err;
  }

  fs::path trash() const { return root() / "data" / "Trash"; }

  fs::path work_;
  std::vector<std::string> seen_;
};

TEST_F(FinderService, OpensEachKindOfItemTheWayItCalls) {
  fs::path folder = work_ / "Folder";
  fs::create_directories(folder);
  fs::path doc = File("My Doc.txt");
  fs::path app = AppBundle("Editor.app");
  fs::path script = File("tool.sh", "#!/bin/sh\nexit 0\n");
  fs::permissions(script, fs::perms::owner_all);
  fs::path shortcut = File("Site.url", "[InternetShortcut]\r\nURL=https://example.com/u\r\n");
  fs::path webloc = File("Site.webloc",
                         "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>URL</key>"
                         "<string>https://example.com/w</string></dict></plist>");
  fs::path classic = File("Home page");
  {
    FSSpec spec = SpecOf(classic);
    FSpCreateResFile(&spec, 'MSIE', 'ilht', 0);
    SetTypeCreator(classic, 'ilht', 'MSIE');
    SInt16 ref = FSpOpenResFile(&spec, fsRdWrPerm);
    ASSERT_GT(ref, 0);
    std::string url = "https://example.com/r";
    AddResource(tb::NewHandleWith(url.data(), static_cast<Size>(url.size())), 'url ', 256, nullptr);
    CloseResFile(ref);
  }

  struct Case {
    const char* name;
    std::vector<fs::path> items;
    fs::path usingApp;
    std::vector<std::string> seen;
    std::vector<std::string> journal;
  };
  const std::string escapedDoc = "file://" + (work_ / "My%20Doc.txt").string();
  const std::string tool = (app / "Contents/MacOS/Tool").string();
  const Case cases[] = {
      {"folder", {folder}, {}, {"folder " + folder.string()}, {"open " + folder.string()}},
      {"document", {doc}, {}, {"run " + escapedDoc}, {"open " + doc.string()}},
      {"document with an application",
       {doc},
       app,
       {"run " + tool + " " + doc.string()},
       {"launch " + app.string() + " " + doc.string()}},
      {"application bundle", {app}, {}, {"run " + tool}, {"launch " + app.string()}},
      {"linux program", {script}, {}, {"run " + script.string()}, {"launch " + script.string()}},
      {"url file", {shortcut}, {}, {"run https://example.com/u"}, {"open https://example.com/u"}},
      {"webloc", {webloc}, {}, {"run https://example.com/w"}, {"open https://example.com/w"}},
      {"classic link",
       {classic},
       {},
       {"run https://example.com/r"},
       {"open https://example.com/r"}},
      {"two items",
       {folder, doc},
       {},
       {"folder " + folder.string(), "run " + escapedDoc},
       {"open " + folder.string(), "open " + doc.string()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seen_.clear();
    desktop::finder::ClearJournal();
    EXPECT_EQ(Request(kCoreEventClass, kAEOpenDocuments, c.items, c.items.size() > 1,
                      c.usingApp.empty() ? 0 : keyAEUsing, c.usingApp),
              noErr);
    EXPECT_EQ(seen_, c.seen);
    EXPECT_EQ(desktop::finder::Journal(), c.journal);
  }
}

// The real launcher, on a program of the test's own that only leaves a mark.
TEST_F(FinderService, StartsAnApplicationDetachedWithTheDocument) {
  desktop::finder::SetCallbacks({});
  fs::path app = AppBundle("Marker.app");
  fs::path mark = root() / "mark.txt";
  tb::test::WriteText(app / "Contents/MacOS/Tool", "#!/bin/sh\necho \"$@\" > '" + mark.string() +
                                                       ".tmp' && mv '" + mark.string() + ".tmp' '" +
                                                       mark.string() + "'\n");
  fs::path doc = File("Letter");
  EXPECT_EQ(Request(kCoreEventClass, kAEOpenDocuments, {doc}, true, keyAEUsing, app), noErr);
  for (int i = 0; i < 300 && !fs::exists(mark); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Text(mark), doc.string() + "\n");
  EXPECT_EQ(desktop::finder::Journal(),
            std::vector<std::string>{"launch " + app.string() + " " + doc.string()});
}

TEST_F(FinderService, RevealsAndUpdatesThroughTheBrowser) {
  fs::path doc = File("Sub/Doc");
  std::string folder = (work_ / "Sub").string();
  EXPECT_EQ(Request(kAEMiscStandards, kAEMakeObjectsVisible, {doc}, false), noErr);
  EXPECT_EQ(Request(kAEFinderSuite, kAESync, {doc}, false), noErr);
  EXPECT_EQ(seen_, (std::vector<std::string>{"reveal " + folder + " " + doc.string(),
                                             "update " + folder + " " + doc.string()}));
  EXPECT_EQ(desktop::finder::Journal(),
            (std::vector<std::string>{"reveal " + doc.string(), "update " + doc.string()}));
}

TEST_F(FinderService, DeleteMovesItemsAndSidecarsToTheTrash) {
  fs::path doc = File("Doc.txt", "first");
  SetTypeCreator(doc, 'TEXT', 'ttxt');
  fs::path folder = work_ / "Vantorel.plugin";
  File("Vantorel.plugin/Contents/Info.plist");
  fs::path locked = File("Locked");
  FSSpec lockedSpec = SpecOf(locked);
  ASSERT_EQ(FSpSetFLock(&lockedSpec), noErr);

  EXPECT_EQ(Request(kAECoreSuite, kAEDelete, {doc, folder, locked}), fLckdErr);
  EXPECT_FALSE(fs::exists(doc));
  EXPECT_FALSE(fs::exists(work_ / "._Doc.txt"));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(locked));
  EXPECT_EQ(Text(trash() / "files/Doc.txt"), "first");
  EXPECT_TRUE(fs::exists(trash() / "files/._Doc.txt"));
  EXPECT_TRUE(fs::exists(trash() / "files/Vantorel.plugin/Contents/Info.plist"));
  std::string info = Text(trash() / "info/Doc.txt.trashinfo");
  EXPECT_TRUE(info.starts_with("[Trash Info]\nPath=" + doc.string() + "\nDeletionDate=")) << info;

  // A second item of the same name gets a name of its own; its sidecar follows that name.
  fs::path again = File("Doc.txt", "second");
  SetTypeCreator(again, 'TEXT', 'ttxt');
  EXPECT_EQ(Request(kAECoreSuite, kAEDelete, {again}), noErr);
  EXPECT_EQ(Text(trash() / "files/Doc.txt.2"), "second");
  EXPECT_TRUE(fs::exists(trash() / "files/._Doc.txt.2"));
  EXPECT_TRUE(fs::exists(trash() / "info/Doc.txt.2.trashinfo"));
  EXPECT_EQ(desktop::finder::Journal(),
            (std::vector<std::string>{"trash " + doc.string(), "trash " + folder.string(),
                                      "trash " + again.string()}));
}

TEST_F(FinderService, CopyKeepsContentsPermissionsAndFinderInfo) {
  fs::path bundle = work_ / "Vantorel.plugin";
  fs::path exe = File("Vantorel.plugin/Contents/MacOS/Vantorel", "binary");
  fs::permissions(exe, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  fs::path inner = File("Vantorel.plugin/Contents/Resources/icon");
  SetTypeCreator(inner, 'icns', 'qVRL');
  SetFolderFlags(bundle, kHasBundle);
  fs::path doc = File("Notes", "notes");
  SetTypeCreator(doc, 'TEXT', 'ttxt');
  fs::path target = disk() / "Library/Contextual Menu Items";
  fs::create_directories(target);

  EXPECT_EQ(Request(kAECoreSuite, kAEClone, {bundle, doc}, true, keyAEInsertHere, target), noErr);
  EXPECT_EQ(Text(target / "Vantorel.plugin/Contents/MacOS/Vantorel"), "binary");
  EXPECT_EQ(fs::status(target / "Vantorel.plugin/Contents/MacOS/Vantorel").permissions(),
            fs::status(exe).permissions());
  EXPECT_TRUE(fs::exists(target / "._Vantorel.plugin"));
  for (auto [copy, type] : {std::pair{target / "Notes", OSType{'TEXT'}},
                            {target / "Vantorel.plugin/Contents/Resources/icon", 'icns'}}) {
    FSSpec spec = SpecOf(copy);
    FInfo info{};
    EXPECT_EQ(FSpGetFInfo(&spec, &info), noErr);
    EXPECT_EQ(info.fdType, type) << copy;
  }
  EXPECT_TRUE(fs::exists(doc));  // a copy, not a move
  // No hidden leftovers of the copy in progress.
  for (const auto& entry : fs::directory_iterator(target)) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".vantorel")) << entry.path();
  }

  // An item of the same name is not replaced: whoever copies deletes the old one first.
  tb::test::WriteText(doc, "changed");
  EXPECT_EQ(Request(kAECoreSuite, kAEClone, {doc}, true, keyAEInsertHere, target), dupFNErr);
  EXPECT_EQ(Text(target / "Notes"), "notes");
  EXPECT_EQ(desktop::finder::Journal(),
            (std::vector<std::string>{"copy " + bundle.string() + " -> " + target.string(),
                                      "copy " + doc.string() + " -> " + target.string()}));
}

TEST_F(FinderService, MissingItemsAreLeftAloneAndNotJournaled) {
  fs::path gone = File("Gone");
  fs::path folder = work_ / "Dest";
  fs::create_directories(folder);
  FSSpec spec = SpecOf(gone);
  fs::remove(gone);
  ProcessSerialNumber self{0, kCurrentProcess};
  AEAddressDesc target;
  AECreateDesc(typeProcessSerialNumber, &self, sizeof self, &target);
  const std::pair<AEEventClass, AEEventID> requests[] = {{kCoreEventClass, kAEOpenDocuments},
                                                         {kAEMiscStandards, kAEMakeObjectsVisible},
                                                         {kAEFinderSuite, kAESync},
                                                         {kAECoreSuite, kAEDelete},
                                                         {kAECoreSuite, kAEClone}};
  for (auto [cls, id] : requests) {
    AppleEvent event, reply;
    AECreateAppleEvent(cls, id, &target, kAutoGenerateReturnID, kAnyTransactionID, &event);
    AEPutParamPtr(&event, keyDirectObject, typeFSS, &spec, sizeof spec);
    FSSpec dest = SpecOf(folder);
    AEPutParamPtr(&event, keyAEInsertHere, typeFSS, &dest, sizeof dest);
    EXPECT_EQ(AESend(&event, &reply, kAEWaitReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
    SInt16 err = noErr;
    AEGetParamPtr(&reply, keyErrorNumber, typeShortInteger, nullptr, &err, sizeof err, nullptr);
    EXPECT_EQ(err, fnfErr);
    AEDisposeDesc(&event);
    AEDisposeDesc(&reply);
  }
  AEDisposeDesc(&target);
  EXPECT_TRUE(seen_.empty());
  EXPECT_TRUE(desktop::finder::Journal().empty());
  EXPECT_TRUE(fs::is_empty(folder));
}

// The installer's way: a headless Finder in another process, requests by signature without
// waiting, the journal file read back.
TEST_F(FinderService, HeadlessFinderCarriesOutPostedRequests) {
  desktop::finder::RemoveHandlers();
  tb::ae::StopListening();
  fs::path journal = root() / "journal.txt";
  setenv("VANTOREL_FINDER_JOURNAL", journal.c_str(), 1);
  fs::path old = File("Target/Vantorel.plugin/old");
  fs::path source = File("Source/Vantorel.plugin/new");
  fs::path folder = work_ / "Target";

  pid_t child = fork();
  if (child == 0) _exit(desktop::finder::RunHeadless(5.0) == noErr ? 0 : 1);
  fs::path socket = runtime() / (std::to_string(child) + ".sock");
  for (int i = 0; i < 200 && !fs::exists(socket); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(fs::exists(socket));

  OSType finder = 'MACS';
  AEAddressDesc target;
  AECreateDesc(typeApplSignature, &finder, sizeof finder, &target);
  auto post = [&](AEEventClass cls, AEEventID id, const fs::path& item, const fs::path& dest) {
    AppleEvent event;
    AECreateAppleEvent(cls, id, &target, kAutoGenerateReturnID, kAnyTransactionID, &event);
    AEDescList list;
    AECreateList(nullptr, 0, false, &list);
    FSSpec spec = SpecOf(item);
    AEPutPtr(&list, 0, typeFSS, &spec, sizeof spec);
    AEPutParamDesc(&event, keyDirectObject, &list);
    if (!dest.empty()) {
      FSSpec destSpec = SpecOf(dest);
      AEPutParamPtr(&event, keyAEInsertHere, typeFSS, &destSpec, sizeof destSpec);
    }
    EXPECT_EQ(AESend(&event, nullptr, kAENoReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
    AEDisposeDesc(&list);
    AEDisposeDesc(&event);
  };
  post(kAECoreSuite, kAEDelete, folder / "Vantorel.plugin", {});
  post(kAECoreSuite, kAEClone, work_ / "Source/Vantorel.plugin", folder);
  std::string expected = "trash " + (folder / "Vantorel.plugin").string() + "\ncopy " +
                         (work_ / "Source/Vantorel.plugin").string() + " -> " + folder.string() +
                         "\n";
  for (int i = 0; i < 200 && Text(journal) != expected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Text(journal), expected);
  EXPECT_TRUE(fs::exists(folder / "Vantorel.plugin/new"));
  EXPECT_FALSE(fs::exists(folder / "Vantorel.plugin/old"));

  AppleEvent quit;
  AECreateAppleEvent(kCoreEventClass, kAEQuitApplication, &target, kAutoGenerateReturnID,
                     kAnyTransactionID, &quit);
  EXPECT_EQ(AESend(&quit, nullptr, kAENoReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
  AEDisposeDesc(&quit);
  AEDisposeDesc(&target);
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
