#include <cstring>

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/scoped_cf.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/text_encoding.h"

void LoadTaggedTitle(CFBundleRef bundle, CFStringRef key, CFIndex bufferSize,
                     ConstStr255Param fallback, StringPtr out) {
  ScopedCF<CFStringRef> text(CFBundleCopyLocalizedString(bundle, key, key, CFSTR("Localizable")));
  if (text && CFStringGetPascalString(text.get(), out, bufferSize, GetApplicationTextEncoding())) {
    out[0] += 1;
    out[out[0]] = 0;
    return;
  }
  std::memcpy(out, fallback, fallback[0] + 1);
}
