#include "toolbox/cf/base.h"

#include "toolbox/cf/object.h"

CFTypeRef CFRetain(CFTypeRef cf) {
  if (cf) tb::cf::AsMutableObject(cf)->retain();
  return cf;
}

void CFRelease(CFTypeRef cf) {
  if (!cf) return;
  tb::cf::Object* object = tb::cf::AsMutableObject(cf);
  if (object->release()) delete object;
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
  if (cf1 == cf2) return true;
  if (!cf1 || !cf2) return false;
  const tb::cf::Object* a = tb::cf::AsObject(cf1);
  const tb::cf::Object* b = tb::cf::AsObject(cf2);
  return a->type() == b->type() && a->equals(*b);
}

CFHashCode CFHash(CFTypeRef cf) {
  return cf ? tb::cf::AsObject(cf)->hash() : 0;
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
  if (!cf) return 0;
  const tb::cf::Object* object = tb::cf::AsObject(cf);
  // Constants report a count no release can bring down.
  return object->immortal() ? 0x7FFFFFFF : object->retainCount();
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
  return cf ? tb::cf::AsObject(cf)->type() : 0;
}
