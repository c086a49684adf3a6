// Fuzzes the packaging tool's manifest: the TOML reader (toml++ and the tool's own checks of
// keys, types, rows and ${NAME} paths) and, for every manifest it accepts whose files lie in
// the fuzzer's own folder, the package built from it: the record, the payload and the licence
// must come out consistent with each other, as the setup program will read them.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/safe_name.h"
#include "tools/packager/bytes.h"
#include "tools/packager/manifest.h"
#include "tools/packager/package_builder.h"

using namespace setup;
using namespace setup::packager;

namespace {

namespace fs = std::filesystem;

// The folder the manifests live in, with the example product's files beside them.
const fs::path& ProductDir() {
    static const fs::path dir = [] {
        const fs::path d = fuzz::ScratchDir::Get() / "product";
        const auto put = [&](const std::string& name, const std::string& text) {
            fs::create_directories((d / name).parent_path());
            fuzz::ScratchDir::Write(fs::relative(d / name, fuzz::ScratchDir::Get()).string(),
                                    std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
        };
        put("licence.txt", "License agreement\n\xE8\xAE\xB8\xE5\x8F\xAF\xE5\x8D\x8F\xE8\xAE\xAE\n");
        put("files/readme.txt", "Read me\r\nline two\n");
        put("files/bad.txt", "\xFF\xFE not UTF-8\n");
        put("files/empty.txt", "");
        put("build/app.exe", std::string("MZ\x90\0\3\0\0\0", 8) + std::string(100, '\xA5'));
        put("build/tool.dll", std::string(3000, '\x01'));
        return d;
    }();
    return dir;
}

// True when p names something inside the scratch folder: a manifest may name any file, but the
// fuzzer must not read /dev/zero or the rest of the machine.
bool Inside(const fs::path& p) {
    const fs::path n = p.lexically_normal(), root = fuzz::ScratchDir::Get().lexically_normal();
    auto [r, _] = std::mismatch(root.begin(), root.end(), n.begin(), n.end());
    return r == root.end() && n != root;
}

void CheckPackage(const Manifest& m, Package& p) {
    ZS_FUZZ_CHECK(Unpack(p.setupini) == std::vector<uint8_t>(p.config.Bytes().begin(), p.config.Bytes().end()));
    SetupConfig c;
    c.Load(Unpack(p.setupini));
    ZS_FUZZ_CHECK(c.RawFileCount() == static_cast<int32_t>(m.files.size()));
    ZS_FUZZ_CHECK(c.ShortcutCount() == static_cast<int>(m.shortcuts.size()));
    ZS_FUZZ_CHECK(c.RegValueCount() == static_cast<int>(m.registry.size()));
    const std::vector<uint8_t> payload = Unpack(p.setuppack);
    ZS_FUZZ_CHECK(payload.size() == p.payload_size);
    ZS_FUZZ_CHECK(ByteSum(payload) == c.PackSum());
    uint64_t next = 0;
    for (int i = 0; i < c.FileCount(); ++i) {
        const FileRow f = c.File(i);
        ZS_FUZZ_CHECK(IsSafeStoredName(f.name));
        ZS_FUZZ_CHECK(f.offset == next);  // the files follow each other in manifest order
        ZS_FUZZ_CHECK(uint64_t{f.offset} + f.size <= payload.size());
        next += f.size;
    }
    ZS_FUZZ_CHECK(next == payload.size());
    for (int i = 0; i < c.ShortcutCount(); ++i)
        ZS_FUZZ_CHECK(c.Shortcut(i).file_index < static_cast<uint32_t>(c.FileCount()));
    // The licence is stored with CR LF line ends only (no GBK byte is CR or LF).
    for (size_t i = 0; i < p.protocol.size(); ++i) {
        if (p.protocol[i] == '\n') ZS_FUZZ_CHECK(i > 0 && p.protocol[i - 1] == '\r');
        if (p.protocol[i] == '\r') ZS_FUZZ_CHECK(i + 1 < p.protocol.size() && p.protocol[i + 1] == '\n');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path path = ProductDir() / "manifest.toml";
    fuzz::ScratchDir::Write("product/manifest.toml", std::span(data, size));
    const Defines defines = {{"BUILD", (ProductDir() / "build").string()}, {"EMPTY", ""}};
    Manifest m;
    try {
        m = ReadManifest(path, defines);
    } catch (const PackError& e) {
        if (std::getenv("ZS_FUZZ_VERBOSE")) std::fprintf(stderr, "refused: %s\n", e.what());
        ZS_FUZZ_CHECK(std::string(e.what()).rfind(path.string(), 0) == 0);  // names the manifest
        return 0;
    }
    ZS_FUZZ_CHECK(!m.licence.empty());
    if (!Inside(m.licence)) return 0;
    for (const ManifestFile& f : m.files)
        if (!Inside(f.source)) return 0;

    Package p;
    try {
        p = MakePackage(m, 1);
    } catch (const PackError& e) {
        if (std::getenv("ZS_FUZZ_VERBOSE")) std::fprintf(stderr, "refused: %s\n", e.what());
        return 0;
    }
    if (std::getenv("ZS_FUZZ_VERBOSE")) std::fprintf(stderr, "packaged: %zu bytes of payload\n", size_t(p.payload_size));
    CheckPackage(m, p);
    return 0;
}
