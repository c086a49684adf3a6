// packager_test_support.h: temporary folders and small synthetic PE32 / PE32+ stubs for the
// packaging tool's tests. The stubs' resource trees are laid out here by hand, in a different
// order from the tool's writer (depth first, strings last), so reading them tests the reader
// on a layout it did not produce.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace setup::packager::testing {

inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("packager-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void Write(const std::string& name, const std::string& bytes) const {
        Write(name, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const auto p = path_ / name;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<uint8_t> Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

// One resource of a synthetic stub; an empty name means the numeric id.
struct StubResource {
    uint16_t type;
    std::u16string name;
    uint16_t id;
    uint16_t lang;
    std::vector<uint8_t> data;
};

enum class StubTail { kRsrcLast, kRelocAfterRsrc, kDataAfterRsrc };

struct StubSpec {
    bool pe64 = false;
    StubTail tail = StubTail::kRelocAfterRsrc;
    std::vector<StubResource> resources{};  // sorted by the caller: named before IDs
    std::vector<uint8_t> overlay{};
    bool certificate = false;
};

namespace detail {

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A resource tree for section RVA `rva`, written depth first: each type directory followed
// by its name directories and their language directories; then data entries, strings, data.
inline std::vector<uint8_t> ResourceTree(const std::vector<StubResource>& list, uint32_t rva) {
    std::vector<uint16_t> types;
    for (const auto& r : list)
        if (types.empty() || types.back() != r.type) types.push_back(r.type);
    // Sizes first: every resource has its own name directory (one language each).
    size_t dirs = 16 + 8 * types.size();
    for (uint16_t t : types) {
        size_t n = 0;
        for (const auto& r : list) n += r.type == t;
        dirs += 16 + 8 * n + n * (16 + 8);
    }
    const size_t entries = dirs;
    size_t strings = entries + 16 * list.size();
    size_t data = strings;
    for (const auto& r : list) data += r.name.empty() ? 0 : 2 + 2 * r.name.size();
    data = (data + 3) & ~size_t{3};
    size_t total = data;
    for (const auto& r : list) total += (r.data.size() + 3) & ~size_t{3};
    std::vector<uint8_t> b(total, 0);

    Put16(b, 14, static_cast<uint32_t>(types.size()));
    size_t at = 16 + 8 * types.size(), string_at = strings, data_at = data;
    size_t index = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        Put32(b, 16 + 8 * t, types[t]);
        Put32(b, 16 + 8 * t + 4, 0x80000000u | static_cast<uint32_t>(at));
        const size_t type_dir = at;
        size_t n = 0, named = 0;
        for (const auto& r : list) n += r.type == types[t], named += r.type == types[t] && !r.name.empty();
        Put16(b, type_dir + 12, static_cast<uint32_t>(named));
        Put16(b, type_dir + 14, static_cast<uint32_t>(n - named));
        at += 16 + 8 * n;
        for (size_t k = 0; k < n; ++k, ++index) {
            const StubResource& r = list[index];
            if (r.name.empty()) {
                Put32(b, type_dir + 16 + 8 * k, r.id);
            } else {
                Put32(b, type_dir + 16 + 8 * k, 0x80000000u | static_cast<uint32_t>(string_at));
                Put16(b, string_at, static_cast<uint32_t>(r.name.size()));
                for (size_t c = 0; c < r.name.size(); ++c) Put16(b, string_at + 2 + 2 * c, r.name[c]);
                string_at += 2 + 2 * r.name.size();
            }
            Put32(b, type_dir + 16 + 8 * k + 4, 0x80000000u | static_cast<uint32_t>(at));
            Put16(b, at + 14, 1);
            Put32(b, at + 16, r.lang);
            Put32(b, at + 20, static_cast<uint32_t>(entries + 16 * index));
            at += 24;
            Put32(b, entries + 16 * index, rva + static_cast<uint32_t>(data_at));
            Put32(b, entries + 16 * index + 4, static_cast<uint32_t>(r.data.size()));
            std::copy(r.data.begin(), r.data.end(), b.begin() + data_at);
            data_at += (r.data.size() + 3) & ~size_t{3};
        }
    }
    return b;
}

}  // namespace detail

// Section layout (alignment 0x1000 in memory, 0x200 in the file), headers 0x400 bytes:
//   .text  RVA 0x1000   code, entry point at its start
//   .rsrc  RVA 0x2000   the resource tree (one or more pages)
//   then, by `tail`: nothing; .reloc (fix-ups into .text); or .data (not movable)
inline std::vector<uint8_t> MakeStub(const StubSpec& layout) {
    using detail::Put16;
    using detail::Put32;
    const uint32_t kRsrcRva = 0x2000;
    const std::vector<uint8_t> tree = detail::ResourceTree(layout.resources, kRsrcRva);
    const auto align = [](size_t v, size_t a) { return (v + a - 1) & ~(a - 1); };
    const uint32_t rsrc_raw = static_cast<uint32_t>(align(tree.size(), 0x200));
    const uint32_t tail_rva = static_cast<uint32_t>(kRsrcRva + align(tree.size(), 0x1000));
    const bool has_tail = layout.tail != StubTail::kRsrcLast;
    const uint16_t sections = has_tail ? 3 : 2;

    std::vector<uint8_t> b(0x400 + 0x200 + rsrc_raw + (has_tail ? 0x200 : 0), 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x80);
    Put32(b, 0x80, 0x00004550);
    const size_t fh = 0x84, opt = 0x98;
    Put16(b, fh, layout.pe64 ? 0x8664 : 0x14C);
    Put16(b, fh + 2, sections);
    const uint16_t opt_size = layout.pe64 ? 240 : 224;
    Put16(b, fh + 16, opt_size);
    Put16(b, fh + 18, layout.pe64 ? 0x22 : 0x102);
    Put16(b, opt, layout.pe64 ? 0x20B : 0x10B);
    Put32(b, opt + 4, 0x200);                         // SizeOfCode
    Put32(b, opt + 8, rsrc_raw + (has_tail ? 0x200 : 0));  // SizeOfInitializedData
    Put32(b, opt + 16, 0x1000);                       // AddressOfEntryPoint
    Put32(b, opt + 20, 0x1000);                       // BaseOfCode
    if (layout.pe64) {
        Put32(b, opt + 24, 0x40000000);
        Put32(b, opt + 28, 0x1);  // ImageBase 0x140000000
    } else {
        Put32(b, opt + 28, 0x400000);
    }
    Put32(b, opt + 32, 0x1000);
    Put32(b, opt + 36, 0x200);
    Put16(b, opt + 40, 6);
    Put16(b, opt + 48, 6);
    Put32(b, opt + 56, tail_rva + (has_tail ? 0x1000 : 0));  // SizeOfImage
    Put32(b, opt + 60, 0x400);
    Put16(b, opt + 68, 2);  // GUI
    Put16(b, opt + 70, has_tail && layout.tail == StubTail::kRelocAfterRsrc ? 0x140 : 0x100);
    const size_t dirs = opt + (layout.pe64 ? 112 : 96);
    Put32(b, dirs - 4, 16);
    Put32(b, dirs + 8 * 2, kRsrcRva);
    Put32(b, dirs + 8 * 2 + 4, static_cast<uint32_t>(tree.size()));

    const size_t table = opt + opt_size;
    const auto section = [&](int i, const char* name, uint32_t vsize, uint32_t rva, uint32_t raw_size,
                             uint32_t raw, uint32_t flags) {
        const size_t h = table + 40 * i;
        for (int c = 0; c < 8 && name[c]; ++c) b[h + c] = static_cast<uint8_t>(name[c]);
        Put32(b, h + 8, vsize);
        Put32(b, h + 12, rva);
        Put32(b, h + 16, raw_size);
        Put32(b, h + 20, raw);
        Put32(b, h + 36, flags);
    };
    section(0, ".text", 0x10, 0x1000, 0x200, 0x400, 0x60000020);
    for (int i = 0; i < 16; ++i) b[0x400 + i] = 0x90;
    b[0x400 + 15] = 0xC3;
    section(1, ".rsrc", static_cast<uint32_t>(tree.size()), kRsrcRva, rsrc_raw, 0x600, 0x40000040);
    std::copy(tree.begin(), tree.end(), b.begin() + 0x600);
    const uint32_t tail_raw = 0x600 + rsrc_raw;
    if (layout.tail == StubTail::kRelocAfterRsrc) {
        section(2, ".reloc", 12, tail_rva, 0x200, tail_raw, 0x42000040);
        Put32(b, tail_raw, 0x1000);  // one block: page .text, two fix-ups
        Put32(b, tail_raw + 4, 12);
        Put16(b, tail_raw + 8, (layout.pe64 ? 0xA000 : 0x3000) | 0x4);
        Put16(b, tail_raw + 10, 0);
        Put32(b, dirs + 8 * 5, tail_rva);
        Put32(b, dirs + 8 * 5 + 4, 12);
    } else if (layout.tail == StubTail::kDataAfterRsrc) {
        section(2, ".data", 0x20, tail_rva, 0x200, tail_raw, 0xC0000040);
        for (int i = 0; i < 0x20; ++i) b[tail_raw + i] = static_cast<uint8_t>(0xD0 + i);
    }
    if (layout.certificate) {
        Put32(b, dirs + 8 * 4, static_cast<uint32_t>(b.size()));
        Put32(b, dirs + 8 * 4 + 4, 8);
    }
    b.insert(b.end(), layout.overlay.begin(), layout.overlay.end());
    return b;
}

// The resources most tests give a stub: a manifest, a named bitmap, a picture and a stale
// "SETUPINI" in another language that packaging must replace.
inline std::vector<StubResource> TypicalStubResources() {
    return {
        {2, u"LOGO", 0, 0x0804, RandomBytes(40, 1)},
        {10, u"PICTURE1", 0, 0, RandomBytes(301, 2)},
        {10, u"SETUPINI", 0, 0x0804, {1, 2, 3}},
        {24, u"", 1, 0x0409, std::vector<uint8_t>{'<', 'a', '/', '>'}},
    };
}

// TypicalStubResources with the resources pack-setup build looks for to tell the setup
// program from an ordinary one (its icons, pictures and the browse button's bitmap).
inline std::vector<StubResource> SetupStubResources() {
    return {
        {2, u"BROWSE", 0, 0x0804, RandomBytes(30, 3)},
        {2, u"LOGO", 0, 0x0804, RandomBytes(40, 1)},
        {10, u"JPG_LOGO", 0, 0x0804, RandomBytes(20, 4)},
        {10, u"JPG_WELCOME", 0, 0x0804, RandomBytes(20, 5)},
        {10, u"PICTURE1", 0, 0, RandomBytes(301, 2)},
        {10, u"PRODUCT", 0, 0x0804, RandomBytes(20, 6)},
        {10, u"SETUPINI", 0, 0x0804, {1, 2, 3}},
        {14, u"FINISH", 0, 0x0804, RandomBytes(20, 7)},
        {14, u"MAINICON", 0, 0x0804, RandomBytes(20, 8)},
        {24, u"", 1, 0x0409, std::vector<uint8_t>{'<', 'a', '/', '>'}},
    };
}

}  // namespace setup::packager::testing
