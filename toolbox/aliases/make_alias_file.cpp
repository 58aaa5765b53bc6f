// Creating alias files, as the Finder's "Make Alias" does.
#include "toolbox/aliases/alias_file.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/resources.h"

namespace tb::aliases {
namespace {

constexpr OSType kFinderCreator = 'MACS';

bool IsApplicationPackage(const FSSpec& spec) {
  std::string_view name = PascalView(spec.name);
  return name.size() > 4 && name.substr(name.size() - 4) == ".app";
}

// Removes a half-made alias file, keeping the first error.
OSErr Abandon(const FSSpec& aliasFile, OSErr err) {
  FSpDelete(&aliasFile);
  return err;
}

}  // namespace

OSErr AliasFileTypeFor(const FSSpec& target, OSType* type, OSType* creator) {
  CInfoPBRec pb{};
  Str63 name;
  CopyPascal(target.name, name, sizeof name);
  pb.hFileInfo.ioNamePtr = name;
  pb.hFileInfo.ioVRefNum = target.vRefNum;
  pb.hFileInfo.ioDirID = target.parID;
  if (OSErr err = PBGetCatInfoSync(&pb); err != noErr) return err;
  *creator = kFinderCreator;
  if (pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask) {
    if (pb.dirInfo.ioDrDirID == fsRtDirID) {
      *type = 'hdsk';
    } else {
      *type = IsApplicationPackage(target) ? 'adrp' : 'fdrp';
    }
  } else if (pb.hFileInfo.ioFlFndrInfo.fdType == 'APPL') {
    *type = 'adrp';
  } else {
    *type = pb.hFileInfo.ioFlFndrInfo.fdType;
    *creator = pb.hFileInfo.ioFlFndrInfo.fdCreator;
  }
  return noErr;
}

OSErr MakeAliasFile(const FSSpec& target, const FSSpec& aliasFile) {
  OSType type = 0, creator = 0;
  if (OSErr err = AliasFileTypeFor(target, &type, &creator); err != noErr) return err;
  if (OSErr err = FSpCreate(&aliasFile, creator, type, smSystemScript); err != noErr) return err;

  AliasHandle alias = nullptr;
  if (OSErr err = NewAlias(&aliasFile, &target, &alias); err != noErr) {
    return Abandon(aliasFile, err);
  }
  FSpCreateResFile(&aliasFile, creator, type, smSystemScript);
  OSErr err = ResError();
  if (err == dupFNErr) err = noErr;  // the file was just made by FSpCreate
  SInt16 saved = CurResFile();
  SInt16 file = err == noErr ? FSpOpenResFile(&aliasFile, fsRdWrPerm) : -1;
  if (file == -1) {
    if (err == noErr) err = ResError();
    DisposeHandle(reinterpret_cast<Handle>(alias));
    UseResFile(saved);
    return Abandon(aliasFile, err);
  }
  AddResource(reinterpret_cast<Handle>(alias), kAliasResourceType, 0, PStr(""));
  err = ResError();
  if (err != noErr) DisposeHandle(reinterpret_cast<Handle>(alias));  // still ours
  CloseResFile(file);
  if (err == noErr) err = ResError();
  UseResFile(saved);
  if (err != noErr) return Abandon(aliasFile, err);

  FInfo info{};
  if (err = FSpGetFInfo(&aliasFile, &info); err != noErr) return Abandon(aliasFile, err);
  info.fdFlags |= kIsAlias;
  if (err = FSpSetFInfo(&aliasFile, &info); err != noErr) return Abandon(aliasFile, err);
  return noErr;
}

}  // namespace tb::aliases
