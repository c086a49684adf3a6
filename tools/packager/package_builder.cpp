#include "tools/packager/package_builder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

#include "base/text.h"
#include "package/format.h"
#include "package/packed_resource.h"
#include "package/payload.h"
#include "package/record_check.h"
#include "package/safe_name.h"
#include "tools/packager/build_checks.h"
#include "tools/packager/bytes.h"
#include "tools/packager/gbk.h"
#include "tools/packager/parallel_pack.h"

namespace setup::packager {

namespace {

std::string Quoted(const std::string& utf8) { return "\"" + utf8 + "\""; }

// The limit kMaxFileSize stands for, as the refusals name it.
constexpr const char* kSizeLimit = "2 GB";
const std::string kSizeLimitExact = std::string(kSizeLimit) + " (2^31 bytes)";

PackError FileTooLarge(const std::string& what, uint64_t size) {
    return PackError(what + ": " + std::to_string(size) + " bytes; a file must be smaller than " + kSizeLimitExact);
}

PackError PayloadTooLarge(const std::string& what, uint64_t total) {
    return PackError(what + ": the payload would reach " + std::to_string(total) +
                     " bytes; offsets and the payload must stay below " + kSizeLimitExact);
}

void CheckLength(const std::string& gbk, size_t capacity, const std::string& what) {
    if (gbk.size() > capacity)
        throw PackError(what + ": " + std::to_string(gbk.size()) + " bytes in GBK, more than the " +
                        std::to_string(capacity) + " its slot holds");
}

// Windows compares file names without regard to case; only one-byte letters have case here.
std::string FoldCase(std::string_view gbk) {
    std::string out(gbk);
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsGbkLeadByte(static_cast<uint8_t>(out[i]))) ++i;
        else if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

bool IsValidDate(const std::string& s) {
    if (s.size() != 8 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    const int year = std::stoi(s.substr(0, 4)), month = std::stoi(s.substr(4, 2)), day = std::stoi(s.substr(6, 2));
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month != 2 || day < 29 || leap;
}

void SetTexts(const Manifest& m, SetupConfig& c) {
    for (const ManifestText& t : kManifestTexts) {
        const auto it = m.texts.find(t.field);
        const std::string utf8 = it == m.texts.end() ? "" : it->second;
        const auto line = m.text_lines.find(t.field);
        const std::string what = m.Where(line == m.text_lines.end() ? 0 : line->second) + ": product." + t.key;
        const std::string gbk = Utf8ToGbk(utf8, what);
        CheckLength(gbk, SetupConfig::Capacity(t.field), what);
        const bool date = t.field == TextField::ReleaseDate || t.field == TextField::Date ||
                          t.field == TextField::ReservedDate;
        if (date && !gbk.empty() && !IsValidDate(gbk))
            throw PackError(what + ": " + Quoted(utf8) + " is not a date written YYYYMMDD");
        const bool required = t.field == TextField::Company || t.field == TextField::ProductName ||
                              t.field == TextField::FolderName;
        if (required && gbk.empty()) throw PackError(what + ": must not be empty");
        // The setup refuses a record whose names are not plain (package/record_check.h).
        if (t.field == TextField::FolderName && !IsPlainFolderName(gbk))
            throw PackError(what + ": " + Quoted(utf8) + " is not a plain folder name (it names the "
                            "default target folder and the registry key)");
        if (t.field == TextField::Company && !IsPlainKeyName(gbk))
            throw PackError(what + ": " + Quoted(utf8) + " is not a plain registry key name (it names "
                            "the key under HKLM\\Software)");
        if (t.field == TextField::ProductName && !IsPlainFolderName(gbk))
            throw PackError(what + ": " + Quoted(utf8) + " is not a plain name (it names the uninstall "
                            "registry key and the start-menu group)");
        if (!c.SetText(t.field, gbk)) throw PackError(what + ": does not fit its slot");
    }
}

template <typename Rows>
void CheckRowCount(const Manifest& m, const Rows& rows, const char* table) {
    if (rows.size() > static_cast<size_t>(kMaxRows))
        throw PackError(m.Where(0) + ": " + std::to_string(rows.size()) + " [[" + table +
                        "]] rows, more than the " + std::to_string(kMaxRows) + " the record holds");
}

std::vector<std::string> FileNames(const Manifest& m) {
    std::vector<std::string> names;
    std::map<std::string, size_t> seen;
    for (size_t i = 0; i < m.files.size(); ++i) {
        const ManifestFile& f = m.files[i];
        const std::string what = m.Where(f.line) + ": [[file]] " + std::to_string(i) + " name " + Quoted(f.name);
        const std::string gbk = Utf8ToGbk(f.name, what);
        if (gbk.empty() || gbk[0] != '\\')
            throw PackError(what + ": a stored name begins with \"\\\" (the target folder)");
        CheckLength(gbk, kStoredNameCapacity, what);
        if (!IsSafeStoredName(gbk))
            throw PackError(what + ": not a safe name inside the target folder (no empty, \".\" or \"..\" parts, "
                            "no drive, \"/\", \":\", wildcards, device names or names ending in a dot or blank)");
        const auto [at, fresh] = seen.emplace(FoldCase(gbk), i);
        if (!fresh) throw PackError(what + ": the same file as [[file]] " + std::to_string(at->second));
        names.push_back(gbk);
    }
    return names;
}

void SetShortcuts(const Manifest& m, const std::vector<std::string>& names, SetupConfig& c) {
    for (size_t i = 0; i < m.shortcuts.size(); ++i) {
        const ManifestShortcut& s = m.shortcuts[i];
        const std::string what = m.Where(s.line) + ": [[shortcut]] " + std::to_string(i);
        ShortcutRow row;
        row.link_name = Utf8ToGbk(s.link, what + " link");
        CheckLength(row.link_name, kLinkNameCapacity, what + " link");
        if (!IsPlainFileName(row.link_name))
            throw PackError(what + " link: " + Quoted(s.link) + " is not a plain file name");
        row.arguments = Utf8ToGbk(s.arguments, what + " arguments");
        CheckLength(row.arguments, kRowTextCapacity, what + " arguments");
        row.place = s.place;
        int64_t index = -1;
        if (const auto* number = std::get_if<int64_t>(&s.file)) {
            index = *number;
            if (index < 0 || index >= static_cast<int64_t>(names.size()))
                throw PackError(what + " file: row " + std::to_string(index) + " points at no file (there are " +
                                std::to_string(names.size()) + " [[file]] rows)");
        } else {
            const std::string& wanted = std::get<std::string>(s.file);
            const std::string gbk = Utf8ToGbk(wanted, what + " file");
            for (size_t k = 0; k < names.size() && index < 0; ++k)
                if (names[k] == gbk) index = static_cast<int64_t>(k);
            for (size_t k = 0; k < names.size() && index < 0; ++k)
                if (FoldCase(names[k]) == FoldCase(gbk)) index = static_cast<int64_t>(k);
            if (index < 0) throw PackError(what + " file: " + Quoted(wanted) + " points at no file: no [[file]] has that name");
        }
        row.file_index = static_cast<uint32_t>(index);
        if (!c.SetShortcut(static_cast<int>(i), row)) throw PackError(what + ": does not fit its row");
    }
}

void SetRegValues(const Manifest& m, SetupConfig& c) {
    for (size_t i = 0; i < m.registry.size(); ++i) {
        const ManifestRegValue& r = m.registry[i];
        const std::string what = m.Where(r.line) + ": [[registry]] " + std::to_string(i);
        RegValueRow row;
        row.value_name = Utf8ToGbk(r.name, what + " name");
        CheckLength(row.value_name, kRowTextCapacity, what + " name");
        row.key_path = Utf8ToGbk(r.key, what + " key");
        CheckLength(row.key_path, kRowTextCapacity, what + " key");
        if (Trim(row.key_path).empty()) throw PackError(what + " key: must not be empty");
        row.string_value = Utf8ToGbk(r.string_value, what + " value");
        CheckLength(row.string_value, kRowTextCapacity, what + " value");
        row.root = r.root;
        row.kind = r.kind;
        row.bool_value = r.bool_value ? 1 : 0;
        row.int_value = r.int_value;
        if (!c.SetRegValue(static_cast<int>(i), row)) throw PackError(what + ": does not fit its row");
    }
}

std::vector<uint8_t> ReadPayload(const Manifest& m, const std::vector<std::string>& names, SetupConfig& c,
                                 const ProgressFn& progress) {
    // Sizes first, so a package that cannot fit is refused before anything is read.
    uint64_t expected = 0;
    for (size_t i = 0; i < m.files.size(); ++i) {
        const ManifestFile& f = m.files[i];
        const std::string what = m.Where(f.line) + ": [[file]] " + std::to_string(i) + " (" + f.name + ")";
        std::error_code ec;
        if (!std::filesystem::is_regular_file(f.source, ec))
            throw PackError(what + ": source " + Quoted(f.source.string()) + " is missing or not a file");
        const uint64_t size = std::filesystem::file_size(f.source, ec);
        if (ec) throw PackError(what + ": cannot read " + Quoted(f.source.string()) + ": " + ec.message());
        if (size >= kMaxFileSize)
            throw FileTooLarge(what, size);
        expected += size;
        if (expected >= kMaxFileSize)
            throw PayloadTooLarge(what, expected);
    }
    std::vector<uint8_t> payload;
    payload.reserve(static_cast<size_t>(expected));
    uint64_t read = 0;  // bytes on disk, as `expected` counts them
    const auto report = [&](uint64_t now) {
        if (progress) progress(BuildProgress{expected, now, 0});
    };
    for (size_t i = 0; i < m.files.size(); ++i) {
        const ManifestFile& f = m.files[i];
        const std::string what = m.Where(f.line) + ": [[file]] " + std::to_string(i) + " (" + f.name + ")";
        std::error_code ec;
        if (!std::filesystem::is_regular_file(f.source, ec))
            throw PackError(what + ": source " + Quoted(f.source.string()) + " is missing or not a file");
        const uint64_t on_disk = std::filesystem::file_size(f.source, ec);
        if (ec) throw PackError(what + ": cannot read " + Quoted(f.source.string()) + ": " + ec.message());
        if (on_disk >= kMaxFileSize)
            throw FileTooLarge(what, on_disk);
        const uint64_t offset = payload.size();
        const auto check_total = [&](uint64_t size) {
            if (offset + size >= kMaxFileSize)
                throw PayloadTooLarge(what, offset + size);
        };
        check_total(f.text ? 0 : on_disk);
        uint64_t size = on_disk;
        if (f.text) {
            const std::vector<uint8_t> raw = ReadWholeFile(f.source, what);
            const std::string gbk = TextFileToGbk(std::string(raw.begin(), raw.end()), what);
            payload.insert(payload.end(), gbk.begin(), gbk.end());
            size = gbk.size();
        } else {
            // Straight into the payload: packages run to hundreds of megabytes. In pieces, so
            // the progress line moves during a big file.
            std::ifstream in(f.source, std::ios::binary);
            payload.resize(offset + on_disk);
            constexpr uint64_t kPiece = uint64_t{8} << 20;
            for (uint64_t done = 0; in && done < on_disk; done += kPiece) {
                const uint64_t n = std::min(kPiece, on_disk - done);
                in.read(reinterpret_cast<char*>(payload.data() + offset + done), static_cast<std::streamsize>(n));
                report(read + done + n);
            }
            if (!in || in.peek() != std::char_traits<char>::eof())
                throw PackError(what + ": cannot read " + Quoted(f.source.string()) + " (or it changed while being read)");
        }
        read += on_disk;
        report(read);
        if (size >= kMaxFileSize)
            throw FileTooLarge(what, size);
        check_total(size);
        FileRow row{names[i], static_cast<uint32_t>(offset), static_cast<uint32_t>(size)};
        if (!c.SetFile(static_cast<int>(i), row)) throw PackError(what + ": does not fit its row");
    }
    return payload;
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path, const std::string& what) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackError(what + ": cannot open " + Quoted(path.string()) + ": " + std::strerror(errno));
    std::vector<uint8_t> bytes;
    char buf[1 << 16];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buf, buf + in.gcount());
        if (bytes.size() >= kMaxFileSize)
            throw PackError(what + ": " + Quoted(path.string()) + " is " + kSizeLimit + " or larger");
    }
    if (in.bad()) throw PackError(what + ": cannot read " + Quoted(path.string()));
    return bytes;
}

Package MakePackage(const Manifest& m, int level, const ProgressFn& progress) {
    Package p;
    SetTexts(m, p.config);
    CheckRowCount(m, m.files, "file");
    CheckRowCount(m, m.shortcuts, "shortcut");
    CheckRowCount(m, m.registry, "registry");
    const std::vector<std::string> names = FileNames(m);
    SetShortcuts(m, names, p.config);
    SetRegValues(m, p.config);
    p.config.SetCounts(static_cast<int32_t>(m.files.size()), static_cast<int32_t>(m.shortcuts.size()),
                       static_cast<int32_t>(m.registry.size()));
    // The checks above refuse each field with its line; this keeps the tool and the setup agreeing.
    const std::vector<RecordField> damaged = DamagedFields(p.config);
    if (!damaged.empty())
        throw PackError(m.Where(0) + ": the record's " + RecordFieldName(damaged[0]) +
                        " would make the setup refuse the package as damaged");

    if (m.brand.present) p.brand = MakeBrandPackage(m, p.config);

    const std::vector<uint8_t> licence = ReadWholeFile(m.licence, m.Where(0) + ": licence");
    const std::string protocol = TextFileToGbk(std::string(licence.begin(), licence.end()),
                                               m.Where(0) + ": licence " + Quoted(m.licence.string()));
    p.protocol.assign(protocol.begin(), protocol.end());

    {
        std::vector<uint8_t> payload = ReadPayload(m, names, p.config, progress);
        p.payload_size = payload.size();
        p.config.SetPackSum(ByteSum(payload));
        PackProgress packing;
        if (progress)
            packing = [&](uint64_t packed) { progress(BuildProgress{p.payload_size, p.payload_size, packed}); };
        PackedBlocks packed = PackBlocks(payload, level, 0, packing);
        p.setuppack = std::move(packed.bytes);
        if (!packed.blocks.empty()) p.setupindex = EncodeBlockIndex(packed.blocks);
    }
    p.setupini = Pack(p.config.Bytes(), level);
    return p;
}

std::vector<Resource> PackageResources(const PeImage& stub, Package&& package) {
    std::vector<Resource> list = ReadResources(stub);
    const auto rcdata = [](const char* name, std::vector<uint8_t>&& data) {
        return Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(name), 0, 0, std::move(data)};
    };
    PutResource(list, rcdata(kRecordResource, std::move(package.setupini)));
    PutResource(list, rcdata(kPayloadResource, std::move(package.setuppack)));
    // A stub made from an earlier package may carry an index that describes another payload.
    if (package.setupindex.empty()) RemoveResource(list, ResourceId::Id(kRtRcdata), ResourceId::Name(kBlockIndexResource));
    else PutResource(list, rcdata(kBlockIndexResource, std::move(package.setupindex)));
    PutResource(list, rcdata("PROTOCOL", std::move(package.protocol)));
    // Likewise a brand that belongs to another package.
    if (package.brand) PutBrandResources(list, std::move(*package.brand));
    else RemoveResource(list, ResourceId::Id(kRtRcdata), ResourceId::Name(kBrandResource));
    return list;
}

void AddBuiltinUninstaller(Manifest& m, const std::filesystem::path& uninstaller) {
    if (!m.builtin_uninstaller) return;
    const std::string what = m.Where(m.uninstaller_line) + ": uninstaller = \"builtin\"";
    for (size_t i = 0; i < m.files.size(); ++i)
        if (FoldCase(m.files[i].name) == kUninstallerStoredName)
            throw PackError(m.Where(m.files[i].line) + ": [[file]] " + std::to_string(i) + " name " +
                            Quoted(m.files[i].name) + ": the manifest says uninstaller = \"builtin\", which is "
                            "stored under that name; drop this row or the key");
    std::error_code ec;
    if (uninstaller.empty() || !std::filesystem::is_regular_file(uninstaller, ec))
        throw PackError(what + ": the built uninstaller " + Quoted(uninstaller.string()) +
                        " is missing; build it (make win) or give it with --uninstaller");
    m.files.push_back(ManifestFile{kUninstallerStoredName, uninstaller, false, m.uninstaller_line});
}

namespace {

// A file of the build's own beside the output, removed when the build ends either way.
class ScratchFile {
public:
    ScratchFile(const std::filesystem::path& output, std::span<const uint8_t> bytes) {
        const std::filesystem::path dir = output.has_parent_path() ? output.parent_path() : ".";
        path_ = (dir / ("." + output.filename().string() + ".uninstall.XXXXXX")).string();
        const int fd = mkstemp(path_.data());
        if (fd < 0) throw PackError(Quoted(output.string()) + ": cannot create a file in its folder: " + std::strerror(errno));
        ::close(fd);
        try {
            WriteFileAtomically(path_, bytes);
        } catch (...) {
            ::unlink(path_.c_str());
            throw;
        }
    }
    ~ScratchFile() { ::unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The built uninstaller with the package's brand in it, so that its boxes carry the vendor's
// title and it ends the vendor's programs.
std::vector<uint8_t> BrandedUninstaller(const std::filesystem::path& uninstaller, const Brand& brand) {
    const PeImage pe = PeImage::Parse(ReadWholeFile(uninstaller, "uninstaller"), uninstaller.string());
    std::vector<Resource> list = ReadResources(pe);
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(kBrandResource), 0, 0, EncodeBrand(brand)});
    return WithResources(pe, list);
}

}  // namespace

BuildReport BuildSetup(const std::filesystem::path& manifest_path, const Defines& defines,
                       const std::filesystem::path& stub, const std::filesystem::path& output, int level,
                       const ProgressFn& progress, const std::filesystem::path& uninstaller) {
    Manifest manifest = ReadManifest(manifest_path, defines);
    AddBuiltinUninstaller(manifest, uninstaller);
    std::optional<ScratchFile> branded_uninstaller;
    if (manifest.builtin_uninstaller && manifest.brand.present) {
        branded_uninstaller.emplace(output, BrandedUninstaller(uninstaller, ManifestBrandTexts(manifest)));
        manifest.files.back().source = branded_uninstaller->path();
    }
    RefuseOutputOverInput(manifest, stub, output);
    const PeImage pe = PeImage::Parse(ReadWholeFile(stub, "stub"), stub.string());
    const std::vector<std::string> missing = MissingStubResources(ReadResources(pe));
    if (!missing.empty()) {
        std::string names;
        for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
        throw PackError("stub " + Quoted(stub.string()) + " is not a setup stub: it lacks the setup program's own "
                        "resources (" + names + "); give setup-stub.exe with --stub");
    }
    Package package = MakePackage(manifest, level, progress);
    BuildReport report;
    report.warnings = PackageWarnings(manifest, package.config);
    report.files = package.config.FileCount();
    report.shortcuts = package.config.ShortcutCount();
    report.reg_values = package.config.RegValueCount();
    report.payload_size = package.payload_size;
    report.packed_size = package.setuppack.size();
    report.pack_sum = package.config.PackSum();
    const std::vector<uint8_t> bytes = WithResources(pe, PackageResources(pe, std::move(package)), &report.placement);
    WriteFileAtomically(output, bytes);
    report.setup_size = bytes.size();
    return report;
}

void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    std::string temp = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw PackError(Quoted(path.string()) + ": cannot create a file in its folder: " + std::strerror(errno));
    const auto fail = [&](const char* step) {
        const std::string reason = std::strerror(errno);
        ::close(fd);
        ::unlink(temp.c_str());
        return PackError(Quoted(path.string()) + ": " + step + ": " + reason);
    };
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::min<size_t>(bytes.size() - done, 1 << 24));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw fail("cannot write");
        done += static_cast<size_t>(n);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0777 & ~mask) != 0 || ::fsync(fd) != 0) throw fail("cannot finish writing");
    if (::close(fd) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.c_str());
        throw PackError(Quoted(path.string()) + ": cannot write: " + reason);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(temp.c_str());
        throw PackError(Quoted(path.string()) + ": cannot replace it: " + reason);
    }
}

}  // namespace setup::packager
