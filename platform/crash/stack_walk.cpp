#include "platform/crash/stack_walk.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>

namespace plat {
namespace {

std::string FileNameOf(const char* path) {
    std::string text = path ? path : "";
    const size_t slash = text.find_last_of("/\\");
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string ProgramPath() {
    char path[4096];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return size > 0 ? std::string(path, static_cast<size_t>(size)) : std::string();
}

struct Search {
    uintptr_t address;
    ModuleAddress* where;
    bool found;
};

int VisitModule(dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    int segment = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD) continue;
        ++segment;
        const uintptr_t start = info->dlpi_addr + header.p_vaddr;
        if (search->address < start || search->address >= start + header.p_memsz) continue;
        // The main program has an empty name here.
        const bool program = !info->dlpi_name || !info->dlpi_name[0];
        search->where->module = FileNameOf(program ? ProgramPath().c_str() : info->dlpi_name);
        search->where->segment = segment;
        search->where->offset = search->address - start;
        search->found = true;
        return 1;
    }
    return 0;
}

// Reads through a pipe: the kernel answers a bad address with an error
// instead of a fault, which is what a damaged stack needs.
bool ReadWords(uintptr_t address, uintptr_t* words, size_t count) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return false;
    const size_t size = count * sizeof(uintptr_t);
    const bool read = ::write(pipe[1], reinterpret_cast<const void*>(address), size) == static_cast<ssize_t>(size) &&
                      ::read(pipe[0], words, size) == static_cast<ssize_t>(size);
    ::close(pipe[0]);
    ::close(pipe[1]);
    return read;
}

}  // namespace

std::vector<ChainFrame> WalkFramePointers(uintptr_t pc, uintptr_t frame, size_t limit) {
    std::vector<ChainFrame> frames;
    while (frames.size() < limit && pc != 0) {
        ChainFrame entry;
        entry.pc = pc;
        entry.frame = frame;
        LocateAddress(pc, &entry.where);
        frames.push_back(std::move(entry));
        uintptr_t link[2];  // the caller's frame, then the return address
        if (frame == 0 || frame % sizeof(uintptr_t) != 0 || !ReadWords(frame, link, 2)) break;
        if (link[0] <= frame) break;
        frame = link[0];
        pc = link[1];
    }
    return frames;
}

bool LocateAddress(uintptr_t address, ModuleAddress* where) {
    Search search{address, where, false};
    ::dl_iterate_phdr(VisitModule, &search);
    return search.found;
}

std::string Demangle(const char* name) {
    if (!name) return {};
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string out = (status == 0 && readable) ? readable : name;
    std::free(readable);
    return out;
}

std::vector<StackFrame> CaptureStack(uintptr_t from) {
    void* pcs[64];
    const int count = ::backtrace(pcs, 64);
    int first = 1;  // this function's own frame
    for (int i = 0; i < count; ++i) {
        if (reinterpret_cast<uintptr_t>(pcs[i]) == from) {
            first = i;
            break;
        }
    }
    std::vector<StackFrame> frames;
    for (int i = first; i < count; ++i) {
        StackFrame frame;
        frame.pc = reinterpret_cast<uintptr_t>(pcs[i]);
        Dl_info info{};
        if (::dladdr(pcs[i], &info) && info.dli_sname && info.dli_saddr) {
            frame.symbol = Demangle(info.dli_sname);
            frame.displacement = frame.pc - reinterpret_cast<uintptr_t>(info.dli_saddr);
        }
        LocateAddress(frame.pc, &frame.where);
        frames.push_back(std::move(frame));
    }
    return frames;
}

bool DescribeSystem(SystemDescription* system) {
    utsname names{};
    if (::uname(&names) != 0) return false;
    *system = {names.sysname, names.release, names.version, names.machine};
    return true;
}

}  // namespace plat
