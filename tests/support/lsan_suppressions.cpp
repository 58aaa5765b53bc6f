// GIO keeps its content-type tables for the life of the process, reached through pointers
// LeakSanitizer does not see; they are not leaks of the toolbox.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libgio-2.0.so\nleak:libglib-2.0.so\n";
}
