// Linked into the executables of the sanitized build only: the two outside
// libraries' faults that the sanitizers would otherwise charge to the program.
//
// QtWebEngine's own code frees a few of its objects with a sized delete whose
// size is not that of the object (seen when its pages and profile are torn
// down). AddressSanitizer reports such a new/delete size mismatch and ends the
// program. Sized deletes called from that library's own code skip the size
// check; every other caller, the program's code and every other library, keeps
// it, and the library keeps every other check (use after free, double free,
// new/delete against new[]/malloc).
//
// The same library keeps some of its objects to the end of the program by
// design. An object that its own code allocates with new is left out of the
// leak check, as are the objects reachable from it; whatever the program's
// code allocates, also when the library called that code (page, scheme and
// console callbacks), is still checked.
#include <dlfcn.h>
#include <link.h>
#include <sanitizer/lsan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

struct CodeRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

int findWebEngineCode(dl_phdr_info* info, std::size_t, void* data)
{
    if (info->dlpi_name == nullptr || std::strstr(info->dlpi_name, "/libQt6WebEngineCore.so") == nullptr)
        return 0;
    auto* range = static_cast<CodeRange*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0) {
            range->begin = info->dlpi_addr + segment.p_vaddr;
            range->end = range->begin + segment.p_memsz;
            return 1;
        }
    }
    return 0;
}

// The library is a load-time dependency: it is mapped before any code runs
// and stays mapped, so its place is looked up once.
const CodeRange& webEngineCode()
{
    static const CodeRange range = [] {
        CodeRange found;
        dl_iterate_phdr(findWebEngineCode, &found);
        return found;
    }();
    return range;
}

bool calledFromWebEngine(const void* returnAddress)
{
    const auto caller = reinterpret_cast<std::uintptr_t>(returnAddress);
    const CodeRange& webEngine = webEngineCode();
    return caller >= webEngine.begin && caller < webEngine.end;
}

using SizedDelete = void (*)(void*, std::size_t) noexcept;
using New = void* (*)(std::size_t);

void* allocate(bool array, std::size_t size, const void* returnAddress)
{
    static const auto single = reinterpret_cast<New>(dlsym(RTLD_NEXT, "_Znwm"));
    static const auto many = reinterpret_cast<New>(dlsym(RTLD_NEXT, "_Znam"));
    void* pointer = (array ? many : single)(size);
    if (calledFromWebEngine(returnAddress))
        __lsan_ignore_object(pointer);
    return pointer;
}

SizedDelete sanitizerSizedDelete()
{
    static const auto next = reinterpret_cast<SizedDelete>(dlsym(RTLD_NEXT, "_ZdlPvm"));
    return next;
}

}

void operator delete(void* pointer, std::size_t size) noexcept
{
    if (calledFromWebEngine(__builtin_return_address(0))) {
        ::operator delete(pointer);
        return;
    }
    sanitizerSizedDelete()(pointer, size);
}

void* operator new(std::size_t size)
{
    return allocate(false, size, __builtin_return_address(0));
}

void* operator new[](std::size_t size)
{
    return allocate(true, size, __builtin_return_address(0));
}

// On an X display, the software GL driver that the windows' GL support loads
// is unloaded again when the display closes, and the leak check then reports
// what the driver never freed under no library's name, so that no suppression
// can name it. Kept loaded to the end, it is named (and suppressed by name).
__attribute__((constructor)) static void keepSoftwareGlDriverLoaded()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::strcmp(platform, "xcb") != 0)
        return;
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
}
