#include "tools/packager/inspect.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "base/error.h"
#include "package/brand.h"
#include "package/format.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/payload_stream.h"
#include "package/record_check.h"
#include "package/safe_name.h"
#include "tools/packager/bytes.h"
#include "tools/packager/gbk.h"
#include "tools/packager/image_resources.h"
#include "tools/packager/manifest.h"
#include "tools/packager/package_builder.h"
#include "tools/packager/stored_path.h"

namespace setup::packager {

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

// GBK text for the terminal: UTF-8, control characters escaped, quoted.
std::string Show(const std::string& gbk) {
    std::string out = "\"";
    for (char c : GbkToUtf8(gbk)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '"') out += "\\\"";
        else if (static_cast<unsigned char>(c) < 0x20) out += Format("\\x%02X", static_cast<unsigned char>(c));
        else out += c;
    }
    return out + "\"";
}

const char* PlaceName(uint8_t place) {
    return place == 0 ? "desktop" : place == 1 ? "group" : "both";
}

const char* KindName(uint8_t kind) {
    return kind == 0 ? "bool" : kind == 1 ? "string" : kind == 2 ? "int" : "none";
}

struct Loaded {
    PeImage pe;
    ImageResources resources;
};

Loaded Load(const std::filesystem::path& exe) {
    PeImage pe = PeImage::Parse(ReadWholeFile(exe, exe.string()), exe.string());
    std::vector<Resource> list = ReadResources(pe);
    return Loaded{std::move(pe), ImageResources(std::move(list))};
}

// Shows the block index and checks it as the setup uses it: a pass through the parallel path
// must keep the index and give the payload's bytes.
template <typename Problem>
void CheckBlockIndex(ImageResources& resources, std::span<const uint8_t> payload, std::ostream& out, const Problem& problem) {
    std::span<const uint8_t> bytes;
    try {
        bytes = resources.Find(kBlockIndexResource);
    } catch (const Error&) {
        out << "  " << kBlockIndexResource << ": none (the payload is inflated by one thread)\n";
        return;
    }
    const auto index = ParseBlockIndex(bytes);
    if (!index) {
        problem(std::string(kBlockIndexResource) + ": not a block index this version reads");
        return;
    }
    out << "  " << kBlockIndexResource << ": " << index->size() << " blocks\n";
    try {
        PayloadStream stream = OpenPayload(resources, 2);
        size_t at = 0;
        bool same = stream.size() == payload.size();
        stream.Stream([&](std::span<const uint8_t> piece) {
            same = same && at + piece.size() <= payload.size() &&
                   std::equal(piece.begin(), piece.end(), payload.begin() + static_cast<ptrdiff_t>(at));
            at += piece.size();
        });
        if (!stream.parallel()) problem(std::string(kBlockIndexResource) + " does not describe " + kPayloadResource +
                                           " (the setup would ignore it)");
        else if (!same || at != payload.size()) problem(std::string("the parallel pass gave other bytes than ") + kPayloadResource + " holds");
    } catch (const Error& e) {
        problem(std::string(kBlockIndexResource) + ": the parallel pass failed: " + e.what());
    }
}

// Why the setup refuses the record as damaged, for one field.
std::string DamageText(const SetupConfig& c, RecordField field) {
    const std::string name = RecordFieldName(field);
    const auto count = [&](int32_t raw) { return Format(" %d lies outside 0..%d", raw, kMaxRows); };
    std::string why;
    switch (field) {
        case RecordField::Company:
            why = " " + Show(c.Company()) + " is not a plain registry key name";
            break;
        case RecordField::ProductName:
            why = " " + Show(c.ProductName()) + " is not a plain name (it names the uninstall key and the start-menu group)";
            break;
        case RecordField::FolderName: why = " " + Show(c.FolderName()) + " is not a plain folder name"; break;
        case RecordField::FileCount: why = count(c.RawFileCount()); break;
        case RecordField::ShortcutCount: why = count(c.RawShortcutCount()); break;
        case RecordField::RegValueCount: why = count(c.RawRegValueCount()); break;
    }
    return name + why + ": the setup refuses the package as damaged";
}

// The brand the setup shows: its own resource, or the built-in brand when it has none.
template <typename Problem>
void ShowBrand(ImageResources& resources, std::ostream& out, const Problem& problem) {
    bool own = true;
    try {
        resources.Find(kBrandResource);
    } catch (const Error&) {
        own = false;
    }
    const std::optional<Brand> brand = LoadBrand(resources);
    out << "\nBrand (" << (own ? "SETUPBRAND" : "none: the built-in brand") << ")\n";
    if (!brand) {
        problem("SETUPBRAND: damaged; the setup refuses the package");
        return;
    }
    out << Format("  %-14s ", "name") << Show(brand->name) << "\n";
    out << Format("  %-14s ", "box_title") << Show(brand->box_title) << "\n";
    out << Format("  %-14s ", "site") << Show(brand->site) << "\n";
    out << Format("  %-14s ", "licence_url") << Show(LicenceAddress(*brand)) << "\n";
    std::string programs;
    for (const std::string& p : brand->end_programs) programs += (programs.empty() ? "" : ", ") + Show(p);
    out << Format("  %-14s ", "end_programs") << (programs.empty() ? "(none)" : programs) << "\n";
}

}  // namespace

bool Inspect(const std::filesystem::path& exe, std::ostream& out) {
    Loaded l = Load(exe);
    const PeImage& pe = l.pe;
    int problems = 0;
    const auto problem = [&](const std::string& what) {
        out << "  ** " << what << "\n";
        ++problems;
    };

    const DataDirectory dir = pe.Directory(kDirResource);
    const int section = dir.rva ? pe.SectionOf(dir.rva) : -1;
    out << exe.string() << ": " << (pe.Is64() ? "PE32+" : "PE32") << " (" << MachineName(pe.Machine()) << "), "
        << pe.Sections().size() << " sections, " << pe.Bytes().size() << " bytes\n";
    if (section >= 0)
        out << Format("resources: section %d (%s) at RVA 0x%X, %u bytes\n", section,
                      pe.Sections()[section].name.c_str(), dir.rva, dir.size);

    out << "\nResources\n" << Format("  %-14s %-14s %-6s %-8s %10s\n", "type", "name", "lang", "codepage", "size");
    for (const Resource& r : l.resources.List())
        out << Format("  %-14s %-14s 0x%04X %-8u %10zu\n", TypeName(r.type).c_str(), r.name.ToString().c_str(),
                      r.lang, r.codepage, r.data.size());

    SetupConfig c;
    try {
        const std::span<const uint8_t> packed = l.resources.Find(kRecordResource);
        const size_t unpacked = Unpack(packed).size();
        LoadRecord(l.resources, c);
        out << "\nRecord (" << kRecordResource << ": " << packed.size() << " bytes packed, " << unpacked << " unpacked)\n";
        if (unpacked != kRecordSize) problem(Format("the record unpacks to %zu bytes, not %zu", unpacked, kRecordSize));
    } catch (const Error& e) {
        out << "\nRecord\n";
        problem(std::string(kRecordResource) + ": " + e.what());
        out << "\nFAILED: " << problems << " problem(s)\n";
        return false;
    }
    for (const ManifestText& t : kManifestTexts)
        out << Format("  %-14s ", t.key) << Show(c.Text(t.field)) << "\n";
    out << Format("  %-14s ", "folder") << Show(c.Folder()) << "\n";
    out << Format("  %-14s %u (0x%08X)\n", "pack_sum", c.PackSum(), c.PackSum());
    for (RecordField field : DamagedFields(c)) problem(DamageText(c, field));

    ShowBrand(l.resources, out, problem);

    const int32_t raw_files = c.RawFileCount();
    const int files = c.FileCount();
    out << "\nFiles (" << raw_files << ")\n";
    std::optional<std::vector<uint8_t>> payload;
    try {
        payload = Unpack(l.resources.Find(kPayloadResource));
    } catch (const Error& e) {
        problem(std::string(kPayloadResource) + ": " + e.what());
    }
    out << Format("  %3s %10s %10s  %s\n", "#", "offset", "size", "name");
    for (int i = 0; i < files; ++i) {
        const FileRow f = c.File(i);
        out << Format("  %3d %10u %10u  ", i, f.offset, f.size) << Show(f.name) << "\n";
        if (payload && uint64_t{f.offset} + f.size > payload->size())
            problem(Format("file %d: bytes [%u, %llu) lie outside the %zu-byte payload", i, f.offset,
                           static_cast<unsigned long long>(f.offset) + f.size, payload->size()));
        std::string why;
        if (!IsSafeStoredName(f.name))
            problem(Format("file %d: the stored name ", i) + Show(f.name) +
                    " is not a safe name in the target folder (the setup does not write it)");
        else if (!MapStoredName(f.name, &why))
            problem(Format("file %d: the stored name ", i) + Show(f.name) + ": " + why + " (extract cannot write it)");
    }

    out << "\nShortcuts (" << c.ShortcutCount() << ")\n";
    out << Format("  %3s %-8s %4s  %s\n", "#", "place", "file", "link -> target");
    for (int i = 0; i < c.ShortcutCount(); ++i) {
        const ShortcutRow s = c.Shortcut(i);
        std::string line = Format("  %3d %-8s %4u  ", i, PlaceName(s.place), s.file_index) + Show(s.link_name);
        if (s.file_index < static_cast<uint32_t>(files)) line += " -> " + Show(c.File(static_cast<int>(s.file_index)).name);
        if (!s.arguments.empty()) line += " arguments " + Show(s.arguments);
        out << line << "\n";
        if (s.file_index >= static_cast<uint32_t>(files)) problem(Format("shortcut %d points at no file (row %u)", i, s.file_index));
        if (!IsPlainFileName(s.link_name))
            problem(Format("shortcut %d: the link name ", i) + Show(s.link_name) +
                    " is not a plain file name (the setup makes no shortcut for it)");
    }

    out << "\nRegistry values (" << c.RegValueCount() << ")\n";
    for (int i = 0; i < c.RegValueCount(); ++i) {
        const RegValueRow r = c.RegValue(i);
        std::string value = r.kind == 0 ? (r.bool_value ? "true" : "false")
                            : r.kind == 1 ? Show(r.string_value)
                            : r.kind == 2 ? std::to_string(r.int_value) : "(nothing written)";
        out << Format("  %3d %s\\", i, r.root == 0 ? "HKLM" : "HKCU") << GbkToUtf8(r.key_path) << " "
            << Show(r.value_name) << " " << KindName(r.kind) << " " << value << "\n";
    }

    out << "\nPayload\n";
    if (payload) {
        const uint32_t sum = ByteSum(*payload);
        out << "  " << kPayloadResource << ": " << l.resources.Find(kPayloadResource).size() << " bytes packed, " << payload->size()
            << " unpacked\n";
        out << Format("  byte sum %u, PackSum %u: %s\n", sum, c.PackSum(), sum == c.PackSum() ? "match" : "MISMATCH");
        if (sum != c.PackSum()) problem("the payload's byte sum differs from PackSum");
        CheckBlockIndex(l.resources, *payload, out, problem);
    }
    try {
        const std::span<const uint8_t> protocol = l.resources.Find("PROTOCOL");
        out << "  PROTOCOL: " << protocol.size() << " bytes of licence text\n";
    } catch (const Error& e) {
        problem(std::string("PROTOCOL: ") + e.what());
    }

    if (problems) out << "\nFAILED: " << problems << " problem(s)\n";
    else out << "\nOK: " << files << " files, " << c.ShortcutCount() << " shortcuts, " << c.RegValueCount()
             << " registry values, byte sum verified\n";
    return problems == 0;
}

size_t Extract(const std::filesystem::path& exe, const std::filesystem::path& dir, std::ostream& out) {
    Loaded l = Load(exe);
    SetupConfig c;
    LoadRecord(l.resources, c);
    const std::vector<uint8_t> payload = Unpack(l.resources.Find(kPayloadResource));
    // Every name and range first: a package with one bad row writes nothing.
    std::vector<std::vector<std::string>> paths;
    for (int i = 0; i < c.FileCount(); ++i) {
        const FileRow f = c.File(i);
        const std::string what = "file " + std::to_string(i) + " " + Show(f.name);
        std::string why;
        std::optional<std::vector<std::string>> path = MapStoredName(f.name, &why);
        if (!path) throw PackError(what + ": " + why);
        if (uint64_t{f.offset} + f.size > payload.size()) throw PackError(what + ": range outside the payload");
        paths.push_back(std::move(*path));
    }
    std::filesystem::create_directories(dir);
    for (int i = 0; i < c.FileCount(); ++i) {
        const FileRow f = c.File(i);
        WriteBelow(dir, paths[i], std::span(payload).subspan(f.offset, f.size));
        std::filesystem::path target = dir;
        for (const std::string& part : paths[i]) target /= part;
        out << target.string() << " (" << f.size << " bytes)\n";
    }
    return static_cast<size_t>(c.FileCount());
}

}  // namespace setup::packager
