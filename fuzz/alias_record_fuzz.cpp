// Alias records on hostile bytes: reading names, resolving against a small system disk, and
// rewriting what was accepted. No crash, no read past the record or the handle.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

#include "toolbox/aliases/alias_record.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/core/memory.h"

namespace al = tb::aliases;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static char dir[] = "/tmp/alias-fuzz-XXXXXX";
  if (!mkdtemp(dir)) abort();
  atexit([] { std::filesystem::remove_all(dir); });
  setenv("VANTOREL_SYSTEM_DISK", dir, 1);
  std::string docs = std::string(dir) + "/Docs";
  mkdir(docs.c_str(), 0755);
  if (FILE* f = fopen((docs + "/report.txt").c_str(), "w")) fclose(f);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Handle h = tb::NewHandleWith(data, static_cast<Size>(size));
  if (!h) return 0;
  auto alias = reinterpret_cast<AliasHandle>(h);
  Str63 text;
  for (AliasInfoType index = asiZoneName; index <= 4; ++index) GetAliasInfo(alias, index, text);
  (void)GetAliasUserType(alias);
  (void)GetAliasSize(alias);

  al::AliasData parsed;
  if (al::ParseAliasRecord({data, size}, &parsed) == noErr) {
    al::AliasData again;
    if (al::ParseAliasRecord(al::SerializeAliasRecord(parsed), &again) != noErr ||
        again.name != parsed.name || again.volumeName != parsed.volumeName ||
        again.fileId != parsed.fileId || again.parentId != parsed.parentId ||
        again.kind != parsed.kind) {
      abort();
    }
  }

  FSSpec spec;
  Boolean changed = false;
  ResolveAlias(nullptr, alias, &spec, &changed);
  FSRef ref;
  FSResolveAlias(nullptr, alias, &ref, &changed);
  DisposeHandle(h);
  return 0;
}
