// SDL's X11 video opens D-Bus (input methods, the screen saver) and, as SDL documents,
// never calls dbus_shutdown(), so libdbus keeps a few global allocations until the
// process ends. The leak checker is told so; the library is kept loaded so that it
// can still name libdbus in the stacks when it looks at exit.

#include <dlfcn.h>

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace {

[[maybe_unused]] void* const keep_dbus_loaded = dlopen("libdbus-1.so.3", RTLD_NOW);

} // namespace
