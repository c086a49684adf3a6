#include "tools/packager/resource_tree.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "tools/packager/bytes.h"

namespace setup::packager {

namespace {

constexpr uint32_t kHighBit = 0x80000000u;
constexpr size_t kMaxResources = 65536;
constexpr uint64_t kMaxResourceBytes = uint64_t{1} << 31;

std::string Utf16ToUtf8(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Bounds-checked reader of the resource tree; offsets are from the directory's start.
class TreeReader {
public:
    TreeReader(const PeImage& pe, std::span<const uint8_t> tree) : pe_(pe), tree_(tree) {}

    std::vector<Resource> Read() {
        std::vector<Resource> out;
        for (const Entry& t : Directory(0, "the root directory"))
            for (const Entry& n : Directory(Sub(t, "type " + t.id.ToString()), "type " + t.id.ToString())) {
                const std::string where = TypeName(t.id) + " " + n.id.ToString();
                for (const Entry& l : Directory(Sub(n, where), where)) {
                    if (l.id.named || (l.target & kHighBit))
                        throw Damaged(where + " has a language entry that is not a plain data entry");
                    out.push_back(Data(t.id, n.id, l.id.id, l.target, where));
                    total_ += out.back().data.size();
                    if (out.size() > kMaxResources || total_ > kMaxResourceBytes)
                        throw Damaged("the resource tree is implausibly large");
                }
            }
        std::sort(out.begin(), out.end(), [](const Resource& a, const Resource& b) {
            return std::tie(a.type, a.name, a.lang) < std::tie(b.type, b.name, b.lang);
        });
        for (size_t i = 1; i < out.size(); ++i)
            if (out[i].type == out[i - 1].type && out[i].name == out[i - 1].name && out[i].lang == out[i - 1].lang)
                throw Damaged(TypeName(out[i].type) + " " + out[i].name.ToString() + " appears twice");
        return out;
    }

private:
    struct Entry {
        ResourceId id;
        uint32_t target;
    };

    PackError Damaged(const std::string& why) const {
        return PackError(pe_.What() + ": damaged resource tree: " + why);
    }

    void Need(uint64_t at, uint64_t len, const std::string& what) const {
        if (at + len > tree_.size())
            throw Damaged(what + " at offset " + Hex(at) + " lies outside the resource section");
    }

    uint32_t Sub(const Entry& e, const std::string& where) const {
        if (!(e.target & kHighBit)) throw Damaged(where + " is a data entry where a directory belongs");
        return e.target & ~kHighBit;
    }

    std::vector<Entry> Directory(uint32_t at, const std::string& where) {
        Need(at, 16, "the directory of " + where);
        // A tree reaches each directory once. Entries that share one would multiply: a few
        // thousand entries pointing at one directory of a few thousand more make millions of
        // walks from a file of a hundred kilobytes.
        if (!seen_.insert(at).second)
            throw Damaged("the directory of " + where + " at offset " + Hex(at) + " is reached a second time");
        const size_t count = size_t{Get16(tree_, at + 12)} + Get16(tree_, at + 14);
        Need(at + 16, count * 8, "the entries of " + where);
        std::vector<Entry> entries;
        for (size_t i = 0; i < count; ++i) {
            const size_t e = at + 16 + 8 * i;
            const uint32_t name = Get32(tree_, e);
            Entry entry{ResourceId::Id(static_cast<uint16_t>(name)), Get32(tree_, e + 4)};
            if (name & kHighBit) {
                const uint32_t s = name & ~kHighBit;
                Need(s, 2, "a name string of " + where);
                const size_t len = Get16(tree_, s);
                Need(s + 2, len * 2, "a name string of " + where);
                entry.id = ResourceId{true, 0, {}};
                for (size_t c = 0; c < len; ++c) entry.id.name += static_cast<char16_t>(Get16(tree_, s + 2 + 2 * c));
            }
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    Resource Data(const ResourceId& type, const ResourceId& name, uint16_t lang, uint32_t at,
                  const std::string& where) const {
        Need(at, 16, "the data entry of " + where);
        const uint32_t rva = Get32(tree_, at), size = Get32(tree_, at + 4);
        const auto offset = pe_.RvaToOffset(rva, size);
        if (!offset)
            throw Damaged(where + ": its data [" + Hex(rva) + ", " + Hex(uint64_t{rva} + size) +
                          ") lie outside the image's sections");
        const auto bytes = pe_.Bytes().subspan(*offset, size);
        return Resource{type, name, lang, Get32(tree_, at + 8), {bytes.begin(), bytes.end()}};
    }

    const PeImage& pe_;
    std::span<const uint8_t> tree_;
    std::set<uint32_t> seen_;
    uint64_t total_ = 0;
};

}  // namespace

ResourceId ResourceId::Name(std::string_view ascii) {
    ResourceId r{true, 0, {}};
    for (char c : ascii) r.name += static_cast<char16_t>(static_cast<unsigned char>(c));
    return r;
}

std::string ResourceId::ToString() const {
    return named ? Utf16ToUtf8(name) : "#" + std::to_string(id);
}

std::strong_ordering ResourceId::operator<=>(const ResourceId& other) const {
    if (named != other.named) return named ? std::strong_ordering::less : std::strong_ordering::greater;
    if (named) return name <=> other.name;
    return id <=> other.id;
}

std::string TypeName(const ResourceId& type) {
    if (type.named) return type.ToString();
    static const std::map<uint16_t, const char*> kNames = {
        {1, "CURSOR"}, {2, "BITMAP"}, {3, "ICON"}, {4, "MENU"}, {5, "DIALOG"}, {6, "STRING"},
        {7, "FONTDIR"}, {8, "FONT"}, {9, "ACCELERATOR"}, {10, "RCDATA"}, {11, "MESSAGETABLE"},
        {12, "GROUP_CURSOR"}, {14, "GROUP_ICON"}, {16, "VERSION"}, {17, "DLGINCLUDE"},
        {19, "PLUGPLAY"}, {20, "VXD"}, {21, "ANICURSOR"}, {22, "ANIICON"}, {23, "HTML"}, {24, "MANIFEST"}};
    const auto it = kNames.find(type.id);
    return it != kNames.end() ? it->second : type.ToString();
}

std::vector<Resource> ReadResources(const PeImage& pe) {
    const DataDirectory dir = pe.Directory(kDirResource);
    if (dir.rva == 0) return {};
    const int i = pe.SectionOf(dir.rva);
    if (i < 0)
        throw PackError(pe.What() + ": damaged executable: the resource directory at RVA " + Hex(dir.rva) +
                        " lies in no section");
    const Section& s = pe.Sections()[i];
    const uint32_t within = dir.rva - s.virtual_address;
    const uint32_t available = std::min(s.raw_size, s.MappedSize());
    if (within >= available)
        throw PackError(pe.What() + ": damaged executable: the resource directory lies outside its section's data");
    return TreeReader(pe, pe.Bytes().subspan(s.raw_pointer + within, available - within)).Read();
}

void RemoveResource(std::vector<Resource>& list, const ResourceId& type, const ResourceId& name) {
    std::erase_if(list, [&](const Resource& x) { return x.type == type && x.name == name; });
}

void PutResource(std::vector<Resource>& list, Resource r) {
    RemoveResource(list, r.type, r.name);
    const auto at = std::lower_bound(list.begin(), list.end(), r, [](const Resource& a, const Resource& b) {
        return std::tie(a.type, a.name, a.lang) < std::tie(b.type, b.name, b.lang);
    });
    list.insert(at, std::move(r));
}

uint32_t LayoutResources(const std::vector<Resource>& list, uint32_t rva, std::vector<uint8_t>& out) {
    // Group the sorted list: type ranges, and within them name ranges.
    struct Range {
        size_t first, count;
    };
    std::vector<Range> types, names;           // names: ranges of `list`
    std::vector<std::vector<size_t>> type_names;  // per type: indices into `names`
    for (size_t i = 0; i < list.size(); ++i) {
        const bool new_type = i == 0 || !(list[i].type == list[i - 1].type);
        if (new_type || !(list[i].name == list[i - 1].name)) {
            if (new_type) type_names.emplace_back();
            type_names.back().push_back(names.size());
            names.push_back({i, 0});
        }
        ++names.back().count;
    }
    if (type_names.size() > 0xFFFF ||
        std::any_of(names.begin(), names.end(), [](const Range& n) { return n.count > 0xFFFF; }) ||
        std::any_of(type_names.begin(), type_names.end(), [](const auto& t) { return t.size() > 0xFFFF; }))
        throw PackError("too many resources for one resource directory (65535 entries at most)");

    // Directory offsets: root, type directories, name directories.
    uint64_t at = 16 + 8 * uint64_t{type_names.size()};
    std::vector<uint64_t> type_dir, name_dir;
    for (const auto& t : type_names) {
        type_dir.push_back(at);
        at += 16 + 8 * uint64_t{t.size()};
    }
    for (const Range& n : names) {
        name_dir.push_back(at);
        at += 16 + 8 * uint64_t{n.count};
    }
    const uint64_t entries = at;
    at += 16 * uint64_t{list.size()};
    std::map<std::u16string, uint64_t> strings;
    std::vector<const std::u16string*> string_order;
    const auto add_string = [&](const ResourceId& id) {
        if (id.named && strings.emplace(id.name, at).second) {
            string_order.push_back(&id.name);
            at += 2 + 2 * uint64_t{id.name.size()};
        }
    };
    for (const auto& t : type_names) {
        add_string(list[names[t.front()].first].type);
        for (size_t n : t) add_string(list[names[n].first].name);
    }
    std::vector<uint64_t> data_at;
    for (const Resource& r : list) {
        at = AlignUp(at, 8);
        data_at.push_back(at);
        at += r.data.size();
    }
    // Empty data at the very end would point just past the section, where no reader finds
    // it: keep a few bytes after it.
    if (!list.empty() && list.back().data.empty()) at += 8;
    if (uint64_t{rva} + at > 0xFFFFFFFFu) throw PackError("the resources do not fit in a 4 GB image");

    const size_t base = out.size();
    out.resize(base + at, 0);
    std::span<uint8_t> sec = std::span(out).subspan(base);
    const auto dir_header = [&](uint64_t d, const auto& ids) {
        uint16_t named = 0;
        for (const ResourceId* id : ids) named += id->named;
        Put16(sec, d + 12, named);
        Put16(sec, d + 14, static_cast<uint16_t>(ids.size() - named));
        for (size_t k = 0; k < ids.size(); ++k)
            Put32(sec, d + 16 + 8 * k, ids[k]->named ? kHighBit | static_cast<uint32_t>(strings.at(ids[k]->name)) : ids[k]->id);
    };
    std::vector<const ResourceId*> ids;
    for (const auto& t : type_names) ids.push_back(&list[names[t.front()].first].type);
    dir_header(0, ids);
    for (size_t t = 0; t < type_names.size(); ++t) {
        Put32(sec, 16 + 8 * t + 4, kHighBit | static_cast<uint32_t>(type_dir[t]));
        ids.clear();
        for (size_t n : type_names[t]) ids.push_back(&list[names[n].first].name);
        dir_header(type_dir[t], ids);
        for (size_t k = 0; k < type_names[t].size(); ++k)
            Put32(sec, type_dir[t] + 16 + 8 * k + 4, kHighBit | static_cast<uint32_t>(name_dir[type_names[t][k]]));
    }
    for (size_t n = 0; n < names.size(); ++n) {
        const uint64_t d = name_dir[n];
        Put16(sec, d + 14, static_cast<uint16_t>(names[n].count));
        for (size_t k = 0; k < names[n].count; ++k) {
            const size_t r = names[n].first + k;
            Put32(sec, d + 16 + 8 * k, list[r].lang);
            Put32(sec, d + 16 + 8 * k + 4, static_cast<uint32_t>(entries + 16 * r));
        }
    }
    for (size_t r = 0; r < list.size(); ++r) {
        const uint64_t e = entries + 16 * r;
        Put32(sec, e, rva + static_cast<uint32_t>(data_at[r]));
        Put32(sec, e + 4, static_cast<uint32_t>(list[r].data.size()));
        Put32(sec, e + 8, list[r].codepage);
        std::copy(list[r].data.begin(), list[r].data.end(), sec.begin() + data_at[r]);
    }
    for (const std::u16string* s : string_order) {
        const uint64_t p = strings.at(*s);
        Put16(sec, p, static_cast<uint16_t>(s->size()));
        for (size_t c = 0; c < s->size(); ++c) Put16(sec, p + 2 + 2 * c, (*s)[c]);
    }
    return static_cast<uint32_t>(at);
}

}  // namespace setup::packager
