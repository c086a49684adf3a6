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

// Read from the file a piece at a time, through one buffer: large enough that the calls cost
// nothing next to inflating, small next to the payload beside it.
constexpr DWORD kPiece = 256u << 10;

// Where the bytes [data, data + size) of a loaded image lie in its file: they must sit
// wholly inside one section's raw data.
std::optional<uint64_t> FileOffsetOf(HMODULE module, const uint8_t* data, size_t size) {
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || data < base) return std::nullopt;
    const uint64_t rva = static_cast<uint64_t>(data - base);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const uint64_t start = section->VirtualAddress;
        if (rva >= start && rva + size <= start + section->SizeOfRawData)
            return uint64_t{section->PointerToRawData} + (rva - start);
    }
    return std::nullopt;
}

// A resource read from the executable's file rather than from the mapped image, so that its
// pages are not made resident (and kept) by reading them.
class FileReader final : public Resources::Reader {
public:
    FileReader(UniqueFile file, uint64_t left) : file_(std::move(file)), left_(left) {}

    std::span<const uint8_t> Next() override {
        if (left_ == 0) return {};
        buffer_.resize(static_cast<size_t>(std::min<uint64_t>(left_, kPiece)));
        DWORD got = 0;
        if (!::ReadFile(file_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &got, nullptr) || got == 0)
            throw Error("Stream read error");
        left_ -= got;
        return {buffer_.data(), got};
    }

private:
    UniqueFile file_;
    uint64_t left_;
    std::vector<uint8_t> buffer_;
};

}  // namespace

std::span<const uint8_t> WinResources::Find(const std::string& name) {
    HMODULE module = module_ ? module_ : ::GetModuleHandleW(nullptr);
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

std::unique_ptr<Resources::Reader> WinResources::Open(const std::string& name) {
    const std::span<const uint8_t> mapped = Find(name);
    HMODULE module = module_ ? module_ : ::GetModuleHandleW(nullptr);
    // A module loaded as data (not as an image) has no section layout to go by.
    const auto as_image = reinterpret_cast<uintptr_t>(module) & 3;
    const std::optional<uint64_t> offset =
        mapped.empty() || as_image ? std::nullopt : FileOffsetOf(module, mapped.data(), mapped.size());
    if (offset) {
        UniqueFile file(::CreateFileW(ModuleFileName(module).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(*offset);
        // The file must still be the one that was loaded: its first bytes at that place are
        // compared with the image's (a few bytes; the rest is guarded by the byte sum).
        uint8_t head[16];
        const DWORD want = static_cast<DWORD>(std::min(mapped.size(), sizeof head));
        DWORD got = 0;
        if (file && ::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) &&
            ::ReadFile(file.get(), head, want, &got, nullptr) && got == want &&
            std::memcmp(head, mapped.data(), want) == 0 && ::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN))
            return std::make_unique<FileReader>(std::move(file), mapped.size());
    }
    // No file to read from (or not the same one): the mapped bytes serve.
    return Resources::Open(name);
}

}  // namespace setup::win
