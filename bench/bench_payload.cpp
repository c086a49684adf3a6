// bench_payload: writes a benchmark payload, deterministic for a given shape, and the
// pack-setup manifest that packages it. Used by scripts/bench-install.sh and bench-nsis.sh.
//
//   bench_payload DIR big       120 files, 200 MB (2^20 bytes): a third each executable-like,
//                               text and random bytes, in the folders bin, doc and data
//   bench_payload DIR example   the example product's shape: five files, 1.6 MB
//
// Writes DIR/files/..., DIR/licence.txt, DIR/manifest.toml and DIR/files.tsv (one line per
// file: stored name, path under DIR/files, size). Sizes vary from file to file around the mean
// so that no two files are alike, and add up to the exact total.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Kind { kExecutable, kText, kRandom };

// Machine-code-like bytes: frequent opcodes, small displacements, addresses that repeat.
std::vector<uint8_t> ExecutableLike(size_t n, std::mt19937& gen) {
    static const std::vector<std::vector<uint8_t>> kOps = {
        {0x55}, {0x8B, 0xEC}, {0x83, 0xEC}, {0x8B, 0x45}, {0x89, 0x45}, {0xE8}, {0xC3}, {0x50}, {0x51},
        {0x8D, 0x4D}, {0x33, 0xC0}, {0x85, 0xC0}, {0x74}, {0x75}, {0xFF, 0x15}, {0x6A, 0x00}, {0x5D}, {0x90}};
    std::vector<uint32_t> addresses(64);
    for (auto& a : addresses) a = 0x00401000 + (gen() & 0xFFFFF);
    std::vector<uint8_t> out;
    out.reserve(n + 8);
    while (out.size() < n) {
        const auto& op = kOps[gen() % kOps.size()];
        out.insert(out.end(), op.begin(), op.end());
        switch (gen() % 4) {
            case 0: out.push_back(static_cast<uint8_t>(gen() % 64)); break;
            case 1: {
                const uint32_t a = addresses[gen() % addresses.size()];
                for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(a >> (8 * i)));
                break;
            }
            default: break;
        }
    }
    out.resize(n);
    return out;
}

// Words in ASCII and GBK, lines ended by CR LF.
std::vector<uint8_t> TextLike(size_t n, std::mt19937& gen) {
    static const std::vector<std::string> kWords = {
        "setup", "install", "folder", "the", "program", "file", "version", "ZENTA", "KOV", "registry",
        "\xC7\xE0\xE1\xB0", "\xBB\xA4\xCE\xC0", "\xB0\xB2\xD7\xB0", "\xCE\xC4\xBC\xFE", "\xC8\xED\xBC\xFE"};
    std::vector<uint8_t> out;
    out.reserve(n + 16);
    while (out.size() < n) {
        const std::string& w = kWords[gen() % kWords.size()];
        out.insert(out.end(), w.begin(), w.end());
        if (gen() % 12 == 0) {
            out.push_back('\r');
            out.push_back('\n');
        } else {
            out.push_back(' ');
        }
    }
    out.resize(n);
    return out;
}

std::vector<uint8_t> RandomBytes(size_t n, std::mt19937& gen) {
    std::vector<uint8_t> out(n + 4);
    for (size_t i = 0; i < n; i += 4) {
        const uint32_t v = gen();
        std::memcpy(&out[i], &v, 4);
    }
    out.resize(n);
    return out;
}

struct FileSpec {
    std::string folder;  // under files/ and under the target folder; "" for the top
    std::string name;
    Kind kind;
    size_t size;
};

// Sizes drawn around the mean (0.5x to 1.5x), scaled to add up to `total` exactly.
std::vector<size_t> Sizes(size_t count, size_t total, std::mt19937& gen) {
    std::uniform_real_distribution<double> weight(0.5, 1.5);
    std::vector<double> w(count);
    double sum = 0;
    for (auto& x : w) sum += (x = weight(gen));
    std::vector<size_t> sizes(count);
    size_t used = 0;
    for (size_t i = 0; i < count; ++i) used += (sizes[i] = static_cast<size_t>(static_cast<double>(total) * w[i] / sum));
    sizes.back() += total - used;
    return sizes;
}

std::vector<FileSpec> BigShape(std::mt19937& gen) {
    constexpr size_t kFiles = 120, kTotal = size_t{200} << 20;
    const std::vector<size_t> sizes = Sizes(kFiles, kTotal, gen);
    std::vector<FileSpec> files;
    char name[32];
    for (size_t i = 0; i < kFiles; ++i) {
        switch (i % 3) {
            case 0:
                std::snprintf(name, sizeof name, "module%03zu.dll", i);
                files.push_back({"bin", name, Kind::kExecutable, sizes[i]});
                break;
            case 1:
                std::snprintf(name, sizeof name, "notes%03zu.txt", i);
                files.push_back({"doc", name, Kind::kText, sizes[i]});
                break;
            default:
                std::snprintf(name, sizeof name, "asset%03zu.dat", i);
                files.push_back({"data", name, Kind::kRandom, sizes[i]});
                break;
        }
    }
    return files;
}

// The example product's five files, scaled to 1.6 MB: two programs, two documents, and a
// packed (incompressible) data file in place of the small shortcut file.
std::vector<FileSpec> ExampleShape() {
    const size_t total = static_cast<size_t>(1.6 * (1 << 20));
    std::vector<FileSpec> files = {
        {"", "ZENTA-KOV.exe", Kind::kExecutable, 900 << 10},
        {"", "license.txt", Kind::kText, 60 << 10},
        {"", "readme.txt", Kind::kText, 200 << 10},
        {"", "Uninstall.exe", Kind::kExecutable, 150 << 10},
        {"", "resources.dat", Kind::kRandom, 0},
    };
    size_t used = 0;
    for (const auto& f : files) used += f.size;
    files.back().size = total - used;
    return files;
}

bool Write(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

bool WriteText(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[2], "big") != 0 && std::strcmp(argv[2], "example") != 0)) {
        std::fprintf(stderr, "usage: bench_payload DIR big|example\n");
        return 2;
    }
    const fs::path dir = argv[1];
    const bool big = std::strcmp(argv[2], "big") == 0;
    std::mt19937 gen(big ? 20261208u : 20240711u);
    const std::vector<FileSpec> files = big ? BigShape(gen) : ExampleShape();

    std::error_code ec;
    fs::remove_all(dir / "files", ec);
    std::string manifest =
        "# Generated by bench_payload: the benchmark's " + std::string(argv[2]) + " payload.\n"
        "licence = \"licence.txt\"\n\n[product]\n"
        "author = \"ZSBench\"\ncompany = \"ZSBench\"\nsite = \"http://bench.example/\"\n"
        "version = \"V1.0\"\nrelease_date = \"20261208\"\n" +
        std::string(big ? "product_name = \"Bench200\"\nfolder_name = \"Bench200\"\n"
                        : "product_name = \"BenchEx\"\nfolder_name = \"BenchEx\"\n") +
        "intro = \"benchmark payload\\r\\n\"\ndate = \"20261208\"\n\n";
    std::string tsv;
    for (const FileSpec& f : files) {
        const fs::path folder = f.folder.empty() ? dir / "files" : dir / "files" / f.folder;
        fs::create_directories(folder);
        std::vector<uint8_t> bytes;
        switch (f.kind) {
            case Kind::kExecutable: bytes = ExecutableLike(f.size, gen); break;
            case Kind::kText: bytes = TextLike(f.size, gen); break;
            case Kind::kRandom: bytes = RandomBytes(f.size, gen); break;
        }
        if (!Write(folder / f.name, bytes)) {
            std::fprintf(stderr, "bench_payload: cannot write %s\n", (folder / f.name).c_str());
            return 1;
        }
        const std::string rel = f.folder.empty() ? f.name : f.folder + "/" + f.name;
        const std::string stored = f.folder.empty() ? "\\" + f.name : "\\" + f.folder + "\\" + f.name;
        manifest += "[[file]]\nsource = \"files/" + rel + "\"\nname = '" + stored + "'\n\n";
        tsv += stored + "\t" + rel + "\t" + std::to_string(f.size) + "\n";
    }
    if (!WriteText(dir / "licence.txt", "Benchmark licence.\nThis payload is generated data.\n") ||
        !WriteText(dir / "manifest.toml", manifest) || !WriteText(dir / "files.tsv", tsv)) {
        std::fprintf(stderr, "bench_payload: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
