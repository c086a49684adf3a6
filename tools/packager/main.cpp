// pack-setup: turns a manifest and a folder of files into a setup executable, and reads
// finished setup executables back.
#include <unistd.h>

#include <time.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "base/error.h"
#include "tools/packager/bytes.h"
#include "tools/packager/inspect.h"
#include "tools/packager/package_builder.h"
#include "tools/packager/version.h"

namespace fs = std::filesystem;
using namespace setup::packager;

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  pack-setup build MANIFEST -o OUT.exe [--stub STUB.exe] [--uninstaller UNINSTALLER.exe]\n"
    "                  [--define NAME=DIR]... [--level 0-9]\n"
    "      Packages the product the manifest describes into a copy of the stub (default:\n"
    "      setup-stub.exe beside pack-setup); with uninstaller = \"builtin\" the built uninstaller\n"
    "      (default: uninstaller.exe beside pack-setup) is packed as \\uninstall.exe.\n"
    "      ${NAME} in source paths is replaced by DIR;\n"
    "      a relative DIR is taken from the current directory. OUT.exe must not be one of\n"
    "      the inputs, and the stub must be the setup program. Warns, and still builds, when\n"
    "      no \\Uninstall.exe is packed, no files are, or a text is too wide for the wizard.\n"
    "  pack-setup inspect SETUP.EXE\n"
    "      Prints the resources, the record and its tables, and verifies the payload.\n"
    "  pack-setup extract SETUP.EXE DIR\n"
    "      Writes the packaged files under DIR.\n"
    "  pack-setup --version\n"
    "Exit status: 0 success, 1 refused or a check failed, 2 wrong usage.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A program built beside pack-setup (make copies them all into out/).
fs::path BesideTool(const char* name) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::path(".") : self.parent_path()) / name;
}

// The line a long build keeps up to date on a terminal; nothing when stderr is not one, so
// logs and test output stay clean.
class ProgressLine {
public:
    ProgressLine() : shown_(::isatty(STDERR_FILENO) == 1) {}
    ~ProgressLine() { Clear(); }

    ProgressFn Callback() {
        if (!shown_) return {};
        return [this](const BuildProgress& p) { Show(p); };
    }
    void Clear() {
        if (drawn_) std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }

private:
    void Show(const BuildProgress& p) {
        // <chrono> does not build with the GBK execution character set (its "µs" literal).
        timespec ts{};
        ::clock_gettime(CLOCK_MONOTONIC, &ts);
        const int64_t now_ms = int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
        if (drawn_ && now_ms - last_ms_ < 100) return;
        last_ms_ = now_ms;
        const auto mb = [](uint64_t bytes) { return static_cast<double>(bytes) / (1 << 20); };
        std::fprintf(stderr, "\r\033[Kpack-setup: read %.1f of %.1f MB, packed %.1f MB", mb(p.read), mb(p.total),
                     mb(p.packed));
        std::fflush(stderr);
        drawn_ = true;
    }

    bool shown_;
    bool drawn_ = false;
    int64_t last_ms_ = 0;
};

int Build(const std::vector<std::string>& args) {
    fs::path manifest_path, output, stub = BesideTool("setup-stub.exe"), uninstaller = BesideTool("uninstaller.exe");
    Defines defines;
    int level = 9;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "-o" || a == "--output") {
            output = value();
        } else if (a == "--stub") {
            stub = value();
        } else if (a == "--uninstaller") {
            uninstaller = value();
        } else if (a == "--define" || a == "-D") {
            const std::string& d = value();
            const size_t eq = d.find('=');
            if (eq == std::string::npos || eq == 0) throw UsageError("--define expects NAME=DIR, not \"" + d + "\"");
            const fs::path dir = d.substr(eq + 1);
            defines[d.substr(0, eq)] = (dir.is_absolute() || dir.empty() ? dir : fs::absolute(dir)).string();
        } else if (a == "--level") {
            const std::string& l = value();
            if (l.size() != 1 || l[0] < '0' || l[0] > '9') throw UsageError("--level expects 0 to 9");
            level = l[0] - '0';
        } else if (!a.empty() && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (manifest_path.empty()) {
            manifest_path = a;
        } else {
            throw UsageError("unexpected argument \"" + a + "\"");
        }
    }
    if (manifest_path.empty() || output.empty()) throw UsageError("build needs a MANIFEST and -o OUT.exe");

    BuildReport r;
    {
        ProgressLine progress;
        r = BuildSetup(manifest_path, defines, stub, output, level, progress.Callback(), uninstaller);
    }
    for (const std::string& w : r.warnings) std::fprintf(stderr, "pack-setup: warning: %s\n", w.c_str());
    std::printf("%s: %d files, payload %llu bytes (%zu packed), byte sum %u, %d shortcuts, %d registry values\n",
                output.c_str(), r.files, static_cast<unsigned long long>(r.payload_size), r.packed_size, r.pack_sum,
                r.shortcuts, r.reg_values);
    const ResourcePlacement& p = r.placement;
    std::printf("%s: %zu bytes; resources %s at RVA 0x%X (%u bytes)\n", output.c_str(), r.setup_size,
                p.moved_relocations ? "rewritten in place (relocations moved up)"
                : p.in_place        ? "rewritten in place"
                                    : "in a new section",
                p.rva, p.size);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
            std::fputs(kUsage, args.empty() ? stderr : stdout);
            return args.empty() ? 2 : 0;
        }
        if (args[0] == "--version" || args[0] == "-V") {
            std::printf("%s %s\n", kToolName, kToolVersion);
            return 0;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        if (command == "build") return Build(args);
        if (command == "inspect") {
            if (args.size() != 1) throw UsageError("inspect needs exactly one SETUP.EXE");
            return Inspect(args[0], std::cout) ? 0 : 1;
        }
        if (command == "extract") {
            if (args.size() != 2) throw UsageError("extract needs SETUP.EXE and DIR");
            Extract(args[0], args[1], std::cout);
            return 0;
        }
        throw UsageError("unknown command \"" + command + "\"");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "pack-setup: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const PackError& e) {
        std::fprintf(stderr, "pack-setup: %s\n", e.what());
    } catch (const setup::Error& e) {
        std::fprintf(stderr, "pack-setup: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pack-setup: %s\n", e.what());
    }
    return 1;
}
