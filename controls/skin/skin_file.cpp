#include "controls/skin/skin_file.h"

#include <zlib.h>

#include <cstring>

#include "base/error.h"

namespace setup::skin {

namespace {

constexpr std::string_view kColorKeys[kSkinColorCount] = {
    "SKIN2_TRANSCOLOR", "SKIN2_TITLEFONTCOLOR", "SKIN2_FORMCOLOR", "SKIN2_MENUBARSTARTCOLOR",
    "SKIN2_MENUBARENDCOLOR", "SKIN2_TOPSELECTEDMENUCOLOR", "SKIN2_TOPSELECTEDMENUBORDERCOLOR",
    "SKIN2_TOPSELECTEDMENUFONTCOLOR", "SKIN2_TOPMENUFONTCOLOR", "SKIN2_LEFTBARSTARTCOLOR",
    "SKIN2_LEFTBARENDCOLOR", "SKIN2_MENUITEMCOLOR", "SKIN2_MENUITEMFONTCOLOR", "SKIN2_SELECTEDMENUCOLOR",
    "SKIN2_SELECTEDMENUBORDERCOLOR", "SKIN2_SELECTEDMENUFONTCOLOR", "SKIN2_TOOLBARSTARTCOLOR",
    "SKIN2_TOOLBARENDCOLOR", "SKIN2_TOOLBARONCOLOR", "SKIN2_TOOLBARBORDERCOLOR", "SKIN2_TOOLBARDOWNCOLOR",
    "SKIN2_CONTROLCOLOR", "SKIN2_CONTROLBORDERCOLOR", "SKIN2_CONTROLFONTCOLOR", "SKIN2_BUTTONFONTCOLOR",
    "SKIN2_SCROLLBARCOLOR", "SKIN2_TABCONTROLCOLOR", "SKIN2_TABCONTROLBORDERCOLOR",
    "SKIN2_TABCONTROLACTIVEFONTCOLOR", "SKIN2_TABCONTROLINACTIVEFONTCOLOR", "SKIN2_SIDECHANNELCOLOR",
    "SKIN2_SIDECHANNELBORDERCOLOR"};

constexpr std::string_view kBitmapKeys[kSkinBitmapCount] = {
    "SKIN2_TITLEBAR1", "SKIN2_TITLEBAR2", "SKIN2_TITLEBAR3", "SKIN2_TITLEBAR4", "SKIN2_TITLEBAR5",
    "SKIN2_FORMLEFTBORDER", "SKIN2_FORMRIGHTBORDER", "SKIN2_FORMBOTTOMBORDER1", "SKIN2_FORMBOTTOMBORDER2",
    "SKIN2_FORMBOTTOMBORDER3", "SKIN2_MINIMIZEDTITLE", "SKIN2_TITLEBUTTONS", "SKIN2_CHECKEDMENUICON",
    "SKIN2_MENUBAR", "SKIN2_TOOLBAR", "SKIN2_BUTTON", "SKIN2_CHECKBOX", "SKIN2_CHECKBOXLIST",
    "SKIN2_RADIOBUTTON", "SKIN2_PROGRESSBAR1", "SKIN2_PROGRESSBAR2", "SKIN2_PROGRESSBAR3",
    "SKIN2_PROGRESSBAR4", "SKIN2_TRACKBAR", "SKIN2_TRACKBARSLIDER", "SKIN2_TRACKBARVSLIDER",
    "SKIN2_SCROLLBARUPBUTTON", "SKIN2_SCROLLBAR", "SKIN2_SCROLLBARDOWNBUTTON", "SKIN2_TABCONTROL",
    "SKIN2_TABCONTROLLINE", "SKIN2_SIDECHANNELBAR", "SKIN2_SIDECHANNELTITLE", "SKIN2_SCROLLBUTTON"};

constexpr std::string_view kIntegerKeys[kSkinIntegerCount] = {
    "SKIN2_TITLEBARICONPOSX", "SKIN2_TITLEBARICONPOSY", "SKIN2_TITLEBARCAPTIONTOP",
    "SKIN2_TITLEBARBUTTONPOSX", "SKIN2_TITLEBARBUTTONPOSY", "SKIN2_TITLEBARREGIONMINY",
    "SKIN2_TITLEBARREGIONMAXY", "SKIN2_BOTTOMREGIONMINY", "SKIN2_BOTTOMREGIONMAXY"};

constexpr std::string_view kFlagKeys[kSkinFlagCount] = {
    "SKIN2_TITLEFIVESECT", "SKIN2_BOTTOMBORDERTHREESECT", "SKIN2_TITLEBARNEEDREGION",
    "SKIN2_BOTTOMBORDERNEEDREGION", "SKIN2_TITLEBTNTRANS", "SKIN2_BUTTONTRANS", "SKIN2_CHECKBOXTRANS",
    "SKIN2_RADIOBUTTONTRANS", "SKIN2_TABCONTROLTRANS"};

constexpr char kMagic[4] = {'Z', 'S', 'K', 'N'};
constexpr uint16_t kVersion = 1;
constexpr uint8_t kFlagScrambled = 1;
// Largest unpacked entry accepted; a real skin is a few hundred kilobytes.
constexpr uint32_t kMaxEntrySize = 64u << 20;

enum RecordKind : uint8_t { kRecInteger = 0, kRecColor = 1, kRecBitmap = 2, kRecFlag = 3 };

[[noreturn]] void Fail() { throw Error(std::string(kSkinReadError)); }

// Bounds-checked little-endian reader over the archive bytes; any overrun is a damaged file.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> b) : b_(b) {}
    size_t left() const { return b_.size() - at_; }
    std::span<const uint8_t> Take(size_t n) {
        if (n > left()) Fail();
        auto s = b_.subspan(at_, n);
        at_ += n;
        return s;
    }
    uint8_t U8() { return Take(1)[0]; }
    uint16_t U16() { auto s = Take(2); return static_cast<uint16_t>(s[0] | s[1] << 8); }
    uint32_t U32() {
        auto s = Take(4);
        return s[0] | s[1] << 8 | s[2] << 16 | static_cast<uint32_t>(s[3]) << 24;
    }

private:
    std::span<const uint8_t> b_;
    size_t at_ = 0;
};

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Crc(std::span<const uint8_t> bytes, uint32_t crc = 0) {
    return static_cast<uint32_t>(crc32(crc, bytes.data(), static_cast<uInt>(bytes.size())));
}

// The password scrambler: three running keys stirred by the password, the entry's salt and
// then every plain byte, as in the classic ZIP password scheme. It keeps casual editors out of
// a skin; it is not strong encryption.
class Scrambler {
public:
    Scrambler(std::string_view password, uint32_t salt) {
        for (char c : password) Stir(static_cast<uint8_t>(c));
        for (int i = 0; i < 4; ++i) Stir(static_cast<uint8_t>(salt >> (8 * i)));
    }
    uint8_t Encode(uint8_t plain) {
        const uint8_t out = plain ^ KeyByte();
        Stir(plain);
        return out;
    }
    uint8_t Decode(uint8_t coded) {
        const uint8_t plain = coded ^ KeyByte();
        Stir(plain);
        return plain;
    }

private:
    static uint32_t CrcByte(uint32_t crc, uint8_t b) { return kTable[(crc ^ b) & 0xFF] ^ (crc >> 8); }
    uint8_t KeyByte() const {
        const uint32_t t = (k2_ | 2u) & 0xFFFFu;
        return static_cast<uint8_t>((t * (t ^ 1u)) >> 8);
    }
    void Stir(uint8_t b) {
        k0_ = CrcByte(k0_, b);
        k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1u;
        k2_ = CrcByte(k2_, static_cast<uint8_t>(k1_ >> 24));
    }
    static inline const z_crc_t* const kTable = get_crc_table();
    uint32_t k0_ = 0x12345678u, k1_ = 0x23456789u, k2_ = 0x34567890u;
};

uint32_t PasswordCheck(uint32_t salt, std::string_view password) {
    const uint8_t salt_bytes[4] = {uint8_t(salt), uint8_t(salt >> 8), uint8_t(salt >> 16), uint8_t(salt >> 24)};
    const auto* pw = reinterpret_cast<const uint8_t*>(password.data());
    return Crc({pw, password.size()}, Crc(salt_bytes));
}

std::vector<uint8_t> Inflate(std::span<const uint8_t> packed, uint32_t size) {
    // One spare byte: a stream that holds more than the declared size fills it and fails.
    std::vector<uint8_t> out(static_cast<size_t>(size) + 1);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) Fail();
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    const bool whole = rc == Z_STREAM_END && z.total_out == size && z.avail_in == 0;
    inflateEnd(&z);
    if (!whole) Fail();
    out.resize(size);
    return out;
}

std::vector<uint8_t> Deflate(std::span<const uint8_t> plain) {
    uLongf n = compressBound(static_cast<uLong>(plain.size()));
    std::vector<uint8_t> out(n);
    if (compress2(out.data(), &n, plain.data(), static_cast<uLong>(plain.size()), 9) != Z_OK)
        throw Error("Cannot compress skin data");
    out.resize(n);
    return out;
}

int FindKey(std::span<const std::string_view> keys, std::string_view key) {
    for (size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key) return static_cast<int>(i);
    return -1;
}

void PutRecord(std::vector<uint8_t>& out, RecordKind kind, std::string_view key, std::span<const uint8_t> value) {
    out.push_back(kind);
    out.push_back(static_cast<uint8_t>(key.size()));
    out.insert(out.end(), key.begin(), key.end());
    Put32(out, static_cast<uint32_t>(value.size()));
    out.insert(out.end(), value.begin(), value.end());
}

SkinData DecodeSkinData(std::span<const uint8_t> bytes) {
    SkinData data;
    Reader r(bytes);
    while (r.left() > 0) {
        const uint8_t kind = r.U8();
        const auto key_bytes = r.Take(r.U8());
        const std::string_view key(reinterpret_cast<const char*>(key_bytes.data()), key_bytes.size());
        const auto value = r.Take(r.U32());
        auto number = [&] {
            if (value.size() != 4) Fail();
            return static_cast<uint32_t>(value[0] | value[1] << 8 | value[2] << 16 | static_cast<uint32_t>(value[3]) << 24);
        };
        // Keys this reader does not know are skipped, so newer skins stay readable; a known
        // key whose record is malformed makes the skin unreadable.
        switch (kind) {
        case kRecInteger:
            if (int i = FindKey(kIntegerKeys, key); i >= 0) data.integers[i] = static_cast<int32_t>(number());
            break;
        case kRecColor:
            if (int i = FindKey(kColorKeys, key); i >= 0) data.colors[i] = number() & 0x00FFFFFFu;
            break;
        case kRecFlag:
            if (int i = FindKey(kFlagKeys, key); i >= 0) {
                if (value.size() != 1 || value[0] > 1) Fail();
                data.flags[i] = value[0] == 1;
            }
            break;
        case kRecBitmap:
            if (int i = FindKey(kBitmapKeys, key); i >= 0) {
                auto image = DecodeBmpFile(value);
                if (!image) Fail();
                data.bitmaps[i] = std::move(*image);
            }
            break;
        default:
            Fail();
        }
    }
    return data;
}

}  // namespace

std::span<const std::string_view> SkinColorKeys() { return kColorKeys; }
std::span<const std::string_view> SkinBitmapKeys() { return kBitmapKeys; }
std::span<const std::string_view> SkinIntegerKeys() { return kIntegerKeys; }
std::span<const std::string_view> SkinFlagKeys() { return kFlagKeys; }

std::vector<uint8_t> WriteArchive(std::span<const ArchiveEntry> entries, std::string_view password) {
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    Put16(out, kVersion);
    Put16(out, static_cast<uint16_t>(entries.size()));
    uint32_t salt = 0x5EED0001u;
    for (const ArchiveEntry& e : entries) {
        auto stored = Deflate(e.data);
        Put16(out, static_cast<uint16_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.push_back(e.scrambled ? kFlagScrambled : 0);
        out.push_back(0);
        Put32(out, static_cast<uint32_t>(stored.size()));
        Put32(out, static_cast<uint32_t>(e.data.size()));
        Put32(out, Crc(e.data));
        if (e.scrambled) {
            salt = salt * 1103515245u + Crc(e.data) + 12345u;
            Put32(out, salt);
            Put32(out, PasswordCheck(salt, password));
            Scrambler s(password, salt);
            for (uint8_t& b : stored) b = s.Encode(b);
        }
        out.insert(out.end(), stored.begin(), stored.end());
    }
    return out;
}

std::optional<std::vector<uint8_t>> ReadArchiveEntry(std::span<const uint8_t> archive, std::string_view name,
                                                     std::string_view password) {
    // The whole directory is walked and must end exactly at the end of the file, so a damaged
    // count or size is noticed even when the wanted entry comes first.
    Reader r(archive);
    const auto magic = r.Take(4);
    if (std::memcmp(magic.data(), kMagic, 4) != 0 || r.U16() != kVersion) Fail();
    const uint16_t count = r.U16();
    struct Found {
        uint8_t flags;
        uint32_t size, crc, salt, check;
        std::span<const uint8_t> stored;
    };
    std::optional<Found> found;
    for (uint16_t i = 0; i < count; ++i) {
        const auto entry_name = r.Take(r.U16());
        Found e{};
        e.flags = r.U8();
        if ((e.flags & ~kFlagScrambled) != 0 || r.U8() != 0) Fail();
        const uint32_t stored_size = r.U32();
        e.size = r.U32();
        e.crc = r.U32();
        if (e.flags & kFlagScrambled) {
            e.salt = r.U32();
            e.check = r.U32();
        }
        e.stored = r.Take(stored_size);
        const std::string_view n(reinterpret_cast<const char*>(entry_name.data()), entry_name.size());
        if (n == name && !found) found = e;
    }
    if (r.left() != 0) Fail();
    if (!found) return std::nullopt;
    if (found->size > kMaxEntrySize) Fail();
    std::vector<uint8_t> packed(found->stored.begin(), found->stored.end());
    if (found->flags & kFlagScrambled) {
        if (PasswordCheck(found->salt, password) != found->check) Fail();
        Scrambler s(password, found->salt);
        for (uint8_t& b : packed) b = s.Decode(b);
    }
    auto plain = Inflate(packed, found->size);
    if (Crc(plain) != found->crc) Fail();
    return plain;
}

SkinData ReadSkinFile(std::span<const uint8_t> file, std::string_view password) {
    auto entry = ReadArchiveEntry(file, kSkinDataEntry, password);
    if (!entry) Fail();
    return DecodeSkinData(*entry);
}

std::vector<uint8_t> EncodeSkinData(const SkinData& data) {
    std::vector<uint8_t> out;
    auto put_number = [&](RecordKind kind, std::string_view key, uint32_t v) {
        std::vector<uint8_t> value;
        Put32(value, v);
        PutRecord(out, kind, key, value);
    };
    for (int i = 0; i < kSkinColorCount; ++i)
        if (data.colors[i] != 0) put_number(kRecColor, kColorKeys[i], data.colors[i]);
    for (int i = 0; i < kSkinIntegerCount; ++i)
        if (data.integers[i] != 0) put_number(kRecInteger, kIntegerKeys[i], static_cast<uint32_t>(data.integers[i]));
    for (int i = 0; i < kSkinFlagCount; ++i)
        if (data.flags[i]) PutRecord(out, kRecFlag, kFlagKeys[i], std::vector<uint8_t>{1});
    for (int i = 0; i < kSkinBitmapCount; ++i)
        if (!data.bitmaps[i].empty()) PutRecord(out, kRecBitmap, kBitmapKeys[i], EncodeBmpFile(data.bitmaps[i]));
    return out;
}

std::vector<uint8_t> WriteSkinFile(const SkinData& data, std::string_view password) {
    const ArchiveEntry entry{std::string(kSkinDataEntry), EncodeSkinData(data), true};
    return WriteArchive({&entry, 1}, password);
}

std::vector<uint8_t> EncodeBmpFile(const Image& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t bits = stride * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, 14 + 40 + bits);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.width));
    Put32(out, static_cast<uint32_t>(image.height));
    Put16(out, 1);
    Put16(out, 24);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t row_start = out.size();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t px = image.at(x, y);
            for (int i = 0; i < 3; ++i) out.push_back(static_cast<uint8_t>(px >> (8 * i)));
        }
        out.resize(row_start + stride, 0);
    }
    return out;
}

}  // namespace setup::skin
