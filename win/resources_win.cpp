// WinResources: RCDATA resources of the running executable.
#include "base/error.h"
#include "win/handles.h"
#include "win/platform_win.h"
#include "win/system.h"
#include "win/text.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace setup::win {

namespace {

// Bytes of the image that are compared with the file at random places, beside the whole
// resource section apart from the payload.
constexpr size_t kSampleSize = 4096;
constexpr int kSamples = 32;

struct ImageSection {
    uint64_t rva = 0;
    uint64_t file_offset = 0;
    uint64_t size = 0;
};

// The section of a loaded image that holds the bytes [data, data + size) wholly in its raw
// data, with where that raw data lies in the file.
std::optional<ImageSection> SectionOf(HMODULE module, const uint8_t* data, size_t size) {
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || data < base) return std::nullopt;
    const uint64_t rva = static_cast<uint64_t>(data - base);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const uint64_t start = section->VirtualAddress;
        const uint64_t raw = std::min<uint64_t>(section->SizeOfRawData, section->Misc.VirtualSize);
        if (rva >= start && rva + size <= start + raw) return ImageSection{start, section->PointerToRawData, raw};
    }
    return std::nullopt;
}

bool ReadFileAt(HANDLE file, uint64_t offset, std::span<uint8_t> out) {
    while (!out.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(out.size(), 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file, out.data(), want, &got, &at) || got == 0) return false;
        out = out.subspan(got);
        offset += got;
    }
    return true;
}

bool SameAsFile(HANDLE file, uint64_t file_offset, const uint8_t* image, size_t size) {
    std::vector<uint8_t> bytes(size);
    return ReadFileAt(file, file_offset, bytes) && std::memcmp(bytes.data(), image, size) == 0;
}

// A resource read from the executable's file rather than from the mapped image, so that its
// pages are not made resident (and kept) by reading them. ReadFile with an offset of its own
// on a synchronous handle may be called from several threads at once.
class FileSource final : public Resources::Source {
public:
    FileSource(HANDLE file, uint64_t offset, uint64_t size) : file_(file), offset_(offset), size_(size) {}
    uint64_t Size() const override { return size_; }
    void ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (offset > size_ || out.size() > size_ - offset || !ReadFileAt(file_, offset_ + offset, out))
            throw Error("Stream read error");
    }

private:
    HANDLE file_;  // owned by WinResources
    uint64_t offset_, size_;
};

}  // namespace

WinResources::WinResources(HMODULE module) : module_(module) {
    // Opened once, at start-up, and kept: others may read the file but neither write,
    // delete nor rename it while the program runs, so what is read later is what was
    // started. Whether it is the file that was loaded is checked when a resource is read.
    if (!module_ || (reinterpret_cast<uintptr_t>(module_) & 3) == 0)
        file_.reset(::CreateFileW(ModuleFileName(module_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

HMODULE WinResources::Module() const { return module_ ? module_ : ::GetModuleHandleW(nullptr); }

std::span<const uint8_t> WinResources::Find(const std::string& name) {
    HMODULE module = Module();
    HRSRC info = ::FindResourceW(module, Wide(name).c_str(), RT_RCDATA);
    if (!info) throw Error("Resource " + name + " not found");
    DWORD size = ::SizeofResource(module, info);
    if (size == 0) return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) throw Error("Resource " + name + " not found");
    // Resource memory is part of the mapped image: valid until the module is unloaded.
    return {static_cast<const uint8_t*>(data), size};
}

bool WinResources::FileIsImage(const ImageSpan& resource) {
    if (file_checked_) return file_is_image_;
    file_checked_ = true;
    // The whole section that holds the resource (the other resources, the resource
    // directory) must match, and the resource itself at its ends and at places the file
    // cannot know in advance. Reading the resource whole here would make it resident.
    const uint8_t* section = reinterpret_cast<const uint8_t*>(Module()) + resource.section_rva;
    const uint64_t before = resource.rva - resource.section_rva;
    const uint64_t after = resource.section_rva + resource.section_size - (resource.rva + resource.size);
    bool same = SameAsFile(file_.get(), resource.section_file_offset, section, static_cast<size_t>(before)) &&
                SameAsFile(file_.get(), resource.section_file_offset + before + resource.size,
                           section + before + resource.size, static_cast<size_t>(after));
    if (same && resource.size > 0) {
        LARGE_INTEGER seed{};
        ::QueryPerformanceCounter(&seed);
        uint64_t state = static_cast<uint64_t>(seed.QuadPart) ^ (uint64_t{::GetCurrentProcessId()} << 32);
        const uint64_t span = resource.size > kSampleSize ? resource.size - kSampleSize : 0;
        for (int i = 0; same && i < kSamples + 2; ++i) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const uint64_t at = i == 0 ? 0 : i == 1 ? span : span == 0 ? 0 : (state >> 16) % (span + 1);
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kSampleSize, resource.size - at));
            same = SameAsFile(file_.get(), resource.section_file_offset + before + at, section + before + at, n);
        }
    }
    file_is_image_ = same;
    return same;
}

std::unique_ptr<Resources::Source> WinResources::OpenSource(const std::string& name) {
    const std::span<const uint8_t> mapped = Find(name);
    if (file_ && !mapped.empty()) {
        if (const auto section = SectionOf(Module(), mapped.data(), mapped.size())) {
            const uint64_t rva = static_cast<uint64_t>(mapped.data() - reinterpret_cast<const uint8_t*>(Module()));
            const ImageSpan span{rva, mapped.size(), section->rva, section->size, section->file_offset};
            if (FileIsImage(span))
                return std::make_unique<FileSource>(file_.get(), section->file_offset + (rva - section->rva),
                                                    mapped.size());
        }
    }
    // No file to read from (or not the one that was loaded): the mapped bytes serve.
    return Resources::OpenSource(name);
}

}  // namespace setup::win
