// packager_bench: packaging speed of pack-setup for a generated 200 MB payload (120 files,
// a third each executable-like, text and random bytes), the time to read the result back and
// verify it, and the size of the stub.
//
//   packager_bench [STUB.exe] [MEGABYTES]     (default stub: $O/setup-stub.exe, O=out)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench/payload_gen.h"
#include "package/payload.h"
#include "tools/packager/bytes.h"
#include "tools/packager/inspect.h"
#include "tools/packager/package_builder.h"

namespace fs = std::filesystem;
using namespace setup::packager;
using setup::bench::PayloadBytes;
using setup::bench::PayloadKind;

namespace {

// <chrono> does not compile with the GBK execution character set (it spells "\u00b5s").
double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double Seconds(double since) { return Now() - since; }
double Cpu() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& b) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const char* o = std::getenv("O");
    const fs::path stub = argc > 1 ? fs::path(argv[1]) : fs::path(o ? o : "out") / "setup-stub.exe";
    const size_t megabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 200;
    if (!fs::exists(stub)) {
        std::fprintf(stderr, "packager_bench: no stub at %s (make win, or pass its path)\n", stub.c_str());
        return 1;
    }
    const fs::path dir = fs::temp_directory_path() / ("packager-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir / "files");

    constexpr int kFiles = 120;
    const size_t total = megabytes << 20, each = total / kFiles;
    std::mt19937 gen(2024);
    double t = Now();
    std::ostringstream manifest;
    manifest << "licence = \"licence.txt\"\n[product]\ncompany = \"ZENTA\"\nproduct_name = \"Bench\"\nfolder_name = \"Bench\"\n";
    for (int i = 0; i < kFiles; ++i) {
        const char* kind = i % 3 == 0 ? "exe" : i % 3 == 1 ? "txt" : "bin";
        const std::string name = "f" + std::to_string(i) + "." + kind;
        const size_t size = i + 1 == kFiles ? total - each * (kFiles - 1) : each;
        const PayloadKind kinds[] = {PayloadKind::kExecutable, PayloadKind::kText, PayloadKind::kRandom};
        WriteBytes(dir / "files" / name, PayloadBytes(kinds[i % 3], size, gen));
        manifest << "[[file]]\nsource = \"files/" << name << "\"\nname = '\\" << (i % 3 == 0 ? "bin\\" : "") << name << "'\n";
    }
    WriteBytes(dir / "licence.txt", {'L', '\n'});
    std::ofstream(dir / "manifest.toml") << manifest.str();
    std::printf("payload: %d files, %zu MB (executable-like, text, random), generated in %.1f s\n", kFiles, megabytes,
                Seconds(t));

    const double mb = static_cast<double>(total) / (1 << 20);
    // Wall time on a shared machine varies; the process's CPU time is given beside it.
    const PeImage pe = PeImage::Parse(ReadWholeFile(stub, "stub"), stub.string());
    for (int level : {9, 6, 1}) {
        const double cpu0 = Cpu();
        t = Now();
        Package package = MakePackage(ReadManifest(dir / "manifest.toml", {}), level);
        const double make = Seconds(t);
        t = Now();
        const std::vector<uint8_t> bytes = WithResources(pe, PackageResources(pe, std::move(package)));
        const double layout = Seconds(t);
        t = Now();
        WriteFileAtomically(dir / "setup.exe", bytes);
        const double write = Seconds(t);
        const double wall = make + layout + write, cpu = Cpu() - cpu0;
        std::printf("build, zlib level %d: %.1f MB/s (%.1f s: read+sum+pack %.1f, resources+checksum %.1f, write %.1f; "
                    "CPU %.1f s = %.1f MB/s); setup %.1f MB = %.1f%% of the payload\n",
                    level, mb / wall, wall, make, layout, write, cpu, mb / cpu, static_cast<double>(bytes.size()) / (1 << 20),
                    100.0 * static_cast<double>(bytes.size()) / static_cast<double>(total));
    }

    t = Now();
    std::ostringstream sink;
    const bool ok = Inspect(dir / "setup.exe", sink);
    const double verify = Seconds(t);  // the last build (level 1) is inspected
    std::printf("inspect (read, unpack, byte sum, ranges): %.1f s, %.1f MB/s, %s\n", verify, mb / verify,
                ok ? "verified" : "FAILED");
    std::printf("stub: %s, %.1f KB\n", stub.c_str(), static_cast<double>(fs::file_size(stub)) / 1024);
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
