// Alias files and symbolic links resolved in place; making alias files.
#include <unistd.h>

#include "tests/toolbox/aliases/alias_fixture.h"
#include "toolbox/aliases/alias_file.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/resources.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

struct FileOutcome {
  OSErr err;
  FSSpec spec;
  Boolean isFolder;
  Boolean aliased;
};

class AliasFiles : public AliasTest {
 protected:
  void SetUp() override {
    AliasTest::SetUp();
    fs::create_directories(disk() / "Folder");
    Touch(disk() / "doc.txt", "text");
  }
  // Makes disk()/name an alias file to `target`.
  void MakeAlias(const fs::path& target, const std::string& name) {
    FSSpec aliasFile{};
    ASSERT_EQ(Spec(":" + name, &aliasFile), fnfErr);
    ASSERT_EQ(aliases::MakeAliasFile(SpecAt(target), aliasFile), noErr) << name;
  }
  FileOutcome ResolveFile(const fs::path& path, bool chains) {
    FileOutcome out{};
    out.spec = SpecAt(path);
    out.isFolder = out.aliased = 2;
    out.err = ResolveAliasFileWithMountFlagsNoUI(&out.spec, chains, &out.isFolder, &out.aliased,
                                                 kResolveAliasFileNoUI);
    return out;
  }
  // Writes a resource fork holding 'alis' 0 with these bytes, and sets the alias flag.
  void WriteAliasFile(const std::string& name, const std::vector<unsigned char>* alis) {
    FSSpec spec{};
    ASSERT_EQ(Spec(":" + name, &spec), fnfErr);
    if (alis) {
      FSpCreateResFile(&spec, 'MACS', 'fdrp', smSystemScript);
      ASSERT_EQ(ResError(), noErr);
      SInt16 file = FSpOpenResFile(&spec, fsRdWrPerm);
      ASSERT_NE(file, -1);
      Handle h = NewHandleWith(alis->data(), Size(alis->size()));
      AddResource(h, 'alis', alis->empty() ? 1 : 0, tb::PStr(""));  // empty: no 'alis' 0 at all
      CloseResFile(file);
    } else {
      ASSERT_EQ(FSpCreate(&spec, 'MACS', 'fdrp', smSystemScript), noErr);
    }
    FInfo info{};
    ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
    info.fdFlags |= kIsAlias;
    ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  }
};

TEST_F(AliasFiles, AliasFileIsWrittenAsTheFinderDoes) {
  MakeAlias(disk() / "doc.txt", "doc alias");
  FSSpec spec = SpecAt(disk() / "doc alias");
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_TRUE(info.fdFlags & kIsAlias);
  SInt16 saved = CurResFile();
  SInt16 file = FSpOpenResFile(&spec, fsRdPerm);
  ASSERT_NE(file, -1);
  Handle alis = Get1Resource('alis', 0);
  ASSERT_NE(alis, nullptr);
  Str255 name;
  SInt16 id = -1;
  ResType type = 0;
  GetResInfo(alis, &id, &type, name);
  EXPECT_EQ(name[0], 0);
  EXPECT_EQ(GetAliasSize(reinterpret_cast<AliasHandle>(alis)), GetHandleSize(alis));
  CloseResFile(file);
  UseResFile(saved);
  // Relative to the alias file: both in the system disk's root folder.
  auto bytes = ReadBytes(disk() / "._doc alias");
  EXPECT_FALSE(bytes.empty());
}

struct TypeCase {
  const char* name;
  const char* target;  // made by the fixture below
  OSType type;
  OSType creator;
};

const TypeCase kTypeCases[] = {
    {"document", "doc.txt", 'TEXT', 'ttxt'},
    {"folder", "Folder", 'fdrp', 'MACS'},
    {"application_package", "Tool.app", 'adrp', 'MACS'},
    {"application_file", "Classic App", 'adrp', 'MACS'},
    {"volume", "", 'hdsk', 'MACS'},
};

class AliasFileTypes : public AliasFiles, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(AliasFileTypes, FollowTheTarget) {
  fs::create_directories(disk() / "Tool.app" / "Contents");
  Touch(disk() / "Classic App");
  SetTypeCreator(disk() / "Classic App", 'APPL', 'CLAP');
  SetTypeCreator(disk() / "doc.txt", 'TEXT', 'ttxt');
  MakeAlias(disk() / GetParam().target, "the alias");
  FSSpec spec = SpecAt(disk() / "the alias");
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, GetParam().type);
  EXPECT_EQ(info.fdCreator, GetParam().creator);
  EXPECT_TRUE(info.fdFlags & kIsAlias);
}

INSTANTIATE_TEST_SUITE_P(Table, AliasFileTypes, ::testing::ValuesIn(kTypeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AliasFiles, ResolvesToFilesAndFolders) {
  MakeAlias(disk() / "doc.txt", "to doc");
  MakeAlias(disk() / "Folder", "to folder");
  fs::create_symlink("Folder", disk() / "link to folder");
  fs::create_symlink(disk() / "doc.txt", disk() / "absolute link");
  struct Case {
    const char* item;
    fs::path target;
    bool isFolder;
    bool aliased;
  };
  for (Case c :
       {Case{"to doc", "doc.txt", false, true}, Case{"to folder", "Folder", true, true},
        Case{"link to folder", "Folder", true, true}, Case{"absolute link", "doc.txt", false, true},
        Case{"doc.txt", "doc.txt", false, false}, Case{"Folder", "Folder", true, false}}) {
    for (bool chains : {false, true}) {
      SCOPED_TRACE(std::string(c.item) + (chains ? " with chains" : ""));
      FileOutcome r = ResolveFile(disk() / c.item, chains);
      ASSERT_EQ(r.err, noErr);
      EXPECT_EQ(Describe(r.spec), Describe(SpecAt(disk() / c.target)));
      EXPECT_EQ(r.isFolder, c.isFolder);
      EXPECT_EQ(r.aliased, c.aliased);
    }
  }
}

TEST_F(AliasFiles, ChainsStepOnceOrToTheEnd) {
  MakeAlias(disk() / "Folder", "first");
  MakeAlias(disk() / "first", "second");
  fs::create_symlink("second", disk() / "third");

  FileOutcome one = ResolveFile(disk() / "second", false);
  ASSERT_EQ(one.err, noErr);
  EXPECT_EQ(Describe(one.spec), Describe(SpecAt(disk() / "first")));
  EXPECT_FALSE(one.isFolder);  // the next alias file, not the folder
  EXPECT_TRUE(one.aliased);

  for (const char* start : {"second", "third"}) {
    FileOutcome all = ResolveFile(disk() / start, true);
    ASSERT_EQ(all.err, noErr) << start;
    EXPECT_EQ(Describe(all.spec), Describe(SpecAt(disk() / "Folder")));
    EXPECT_TRUE(all.isFolder);
    EXPECT_TRUE(all.aliased);
  }

  FSRef ref = Ref(disk() / "second");
  Boolean isFolder = false, aliased = false;
  ASSERT_EQ(FSResolveAliasFile(&ref, true, &isFolder, &aliased), noErr);
  FSRef folder = Ref(disk() / "Folder");
  EXPECT_EQ(FSCompareFSRefs(&ref, &folder), noErr);
}

TEST_F(AliasFiles, LoopsEndWithAnError) {
  // a -> b -> a, made by replacing b once a points at it.
  MakeAlias(disk() / "doc.txt", "b");
  MakeAlias(disk() / "b", "a");
  fs::remove(disk() / "b");
  fs::remove(disk() / "._b");
  MakeAlias(disk() / "a", "b");
  fs::create_symlink("link2", disk() / "link1");
  fs::create_symlink("link1", disk() / "link2");
  fs::create_symlink("self", disk() / "self");
  for (const char* item : {"a", "link1", "self"}) {
    FSSpec before = SpecAt(disk() / item);
    FileOutcome r = ResolveFile(disk() / item, true);
    EXPECT_EQ(r.err, fnfErr) << item;
    EXPECT_EQ(Describe(r.spec), Describe(before)) << item;           // left as it was
    EXPECT_TRUE(ResolveFile(disk() / item, false).aliased) << item;  // one step is fine
  }
}

TEST_F(AliasFiles, BrokenAliasFilesAndLinksGiveErrors) {
  Touch(disk() / "gone");
  MakeAlias(disk() / "gone", "to gone");
  fs::remove(disk() / "gone");
  fs::create_symlink("nowhere", disk() / "dangling");
  fs::create_symlink("missing/deeper", disk() / "dangling deeper");
  std::vector<unsigned char> garbage = {0, 0, 0, 0, 0, 10, 0, 2, 1, 2};
  std::vector<unsigned char> none;
  WriteAliasFile("garbage alis", &garbage);
  WriteAliasFile("no alis 0", &none);
  WriteAliasFile("no fork", nullptr);
  struct Case {
    const char* item;
    OSErr err;
  };
  for (Case c : {Case{"to gone", fnfErr}, Case{"dangling", fnfErr}, Case{"dangling deeper", fnfErr},
                 Case{"garbage alis", paramErr}, Case{"no alis 0", resNotFound},
                 Case{"no fork", mapReadErr}}) {
    FileOutcome r = ResolveFile(disk() / c.item, false);
    EXPECT_EQ(r.err, c.err) << c.item;
    EXPECT_TRUE(r.aliased) << c.item;  // defined flags even so: an alias, no folder
    EXPECT_FALSE(r.isFolder) << c.item;
  }
}

TEST_F(AliasFiles, AliasFileFollowsItsRenamedTarget) {
  MakeAlias(disk() / "doc.txt", "doc alias");
  fs::rename(disk() / "doc.txt", disk() / "Folder" / "renamed.txt");
  FileOutcome r = ResolveFile(disk() / "doc alias", true);
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(Describe(r.spec), Describe(SpecAt(disk() / "Folder" / "renamed.txt")));
}

TEST_F(AliasFiles, ResolvingLeavesTheResourceChainAsItWas) {
  MakeAlias(disk() / "doc.txt", "doc alias");
  FSSpec spec = SpecAt(disk() / "doc alias");
  SInt16 open = FSpOpenResFile(&spec, fsRdPerm);  // the caller has the alias file open
  ASSERT_NE(open, -1);
  FileOutcome r = ResolveFile(disk() / "doc alias", true);
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(CurResFile(), open);
  EXPECT_NE(Get1Resource('alis', 0), nullptr);  // still open
  CloseResFile(open);
}

}  // namespace
}  // namespace tb::test
