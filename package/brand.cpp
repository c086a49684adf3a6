#include "package/brand.h"

#include <algorithm>

#include "base/error.h"
#include "base/text.h"
#include "package/safe_name.h"

namespace setup {
namespace {

constexpr uint8_t kMagic[4] = {'Z', 'B', 'R', 'D'};
constexpr uint8_t kFormatVersion = 1;
enum Tag : uint8_t { kName = 1, kBoxTitle, kSite, kLicenceUrl, kEndPrograms, kLastTag = kEndPrograms };

// GBK text without control characters: every lead byte has its trail byte (0x40..0xFE but
// 0x7F), and 0x80 and 0xFF stand nowhere.
bool IsPlainGbkText(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<uint8_t>(s[i]);
        if (b < 0x20 || b == 0x7F || b == 0x80 || b == 0xFF) return false;
        if (!IsGbkLeadByte(b)) continue;
        if (++i == s.size()) return false;
        const auto t = static_cast<uint8_t>(s[i]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
    }
    return true;
}

bool IsWebAddress(std::string_view s) {
    for (std::string_view scheme : {"http://", "https://"})
        if (s.size() > scheme.size() && s.substr(0, scheme.size()) == scheme) return true;
    return false;
}

std::string TextProblem(std::string_view s, size_t max, bool may_be_empty) {
    if (s.empty() && !may_be_empty) return "must not be empty";
    if (s.size() > max) return std::to_string(s.size()) + " bytes in GBK, more than the " + std::to_string(max) + " it may have";
    if (!IsPlainGbkText(s)) return "control characters or broken GBK text";
    return {};
}

void Replace(std::string& out, std::string_view text, std::string_view from, std::string_view to) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        if (text.substr(i, from.size()) == from) {
            out += to;
            i += from.size();
            continue;
        }
        const size_t n = IsGbkLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
        out += text.substr(i, n);
        i += n;
    }
}

void PutField(std::vector<uint8_t>& out, uint8_t tag, std::string_view value, uint8_t& count) {
    out.push_back(tag);
    out.push_back(static_cast<uint8_t>(value.size()));
    out.push_back(static_cast<uint8_t>(value.size() >> 8));
    out.insert(out.end(), value.begin(), value.end());
    ++count;
}

}  // namespace

std::string LicenceAddress(const Brand& brand) {
    return brand.licence_url.empty() ? brand.site + "license.html" : brand.licence_url;
}

std::string BrandText(const Brand& brand, std::string_view text) {
    if (brand.name == kDefaultBrandName) return std::string(text);
    std::string named, out;
    Replace(named, text, kDefaultBrandName, brand.name);
    Replace(out, named, "护卫提示", brand.name + "提示");
    return out;
}

std::string BrandProblem(const Brand& b) {
    if (std::string p = TextProblem(b.name, kBrandNameMax, false); !p.empty()) return "name: " + p;
    if (std::string p = TextProblem(b.box_title, kBoxTitleMax, false); !p.empty()) return "box_title: " + p;
    if (std::string p = TextProblem(b.site, kSiteMax, false); !p.empty()) return "site: " + p;
    if (!IsWebAddress(b.site) || b.site.back() != '/')
        return "site: \"" + b.site + "\" is not an http:// or https:// address ending in \"/\"";
    if (std::string p = TextProblem(b.licence_url, kSiteMax, true); !p.empty()) return "licence_url: " + p;
    if (!b.licence_url.empty() && !IsWebAddress(b.licence_url))
        return "licence_url: \"" + b.licence_url + "\" is not an http:// or https:// address";
    if (b.end_programs.size() > kEndProgramsMax)
        return "end_programs: " + std::to_string(b.end_programs.size()) + " names, more than the " +
               std::to_string(kEndProgramsMax) + " it may have";
    for (const std::string& program : b.end_programs) {
        if (std::string p = TextProblem(program, kEndProgramMax, false); !p.empty()) return "end_programs: " + p;
        if (!IsPlainFileName(program)) return "end_programs: \"" + program + "\" is not a plain file name";
    }
    return {};
}

std::vector<uint8_t> EncodeBrand(const Brand& b) {
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    out.push_back(kFormatVersion);
    out.push_back(0);
    uint8_t count = 0;
    PutField(out, kName, b.name, count);
    PutField(out, kBoxTitle, b.box_title, count);
    PutField(out, kSite, b.site, count);
    if (!b.licence_url.empty()) PutField(out, kLicenceUrl, b.licence_url, count);
    std::string programs;
    for (const std::string& p : b.end_programs) programs += (programs.empty() ? "" : std::string(1, '\0')) + p;
    PutField(out, kEndPrograms, programs, count);
    out[5] = count;
    return out;
}

std::optional<Brand> DecodeBrand(std::span<const uint8_t> bytes) {
    if (bytes.size() < 6 || !std::equal(kMagic, kMagic + 4, bytes.begin()) || bytes[4] != kFormatVersion)
        return std::nullopt;
    Brand b;
    size_t at = 6;
    uint8_t last = 0;
    for (int field = 0; field < bytes[5]; ++field) {
        if (bytes.size() - at < 3) return std::nullopt;
        const uint8_t tag = bytes[at];
        const size_t size = bytes[at + 1] | size_t{bytes[at + 2]} << 8;
        at += 3;
        if (tag <= last || tag > kLastTag || bytes.size() - at < size) return std::nullopt;
        last = tag;
        const std::string value(bytes.begin() + at, bytes.begin() + at + size);
        at += size;
        switch (tag) {
            case kName: b.name = value; break;
            case kBoxTitle: b.box_title = value; break;
            case kSite: b.site = value; break;
            case kLicenceUrl:
                if (value.empty()) return std::nullopt;  // left out, never empty
                b.licence_url = value;
                break;
            default:
                b.end_programs.clear();
                for (size_t start = 0; start < value.size();) {
                    size_t end = value.find('\0', start);
                    if (end == std::string::npos) end = value.size();
                    b.end_programs.push_back(value.substr(start, end - start));
                    if (end == value.size()) break;
                    start = end + 1;
                    if (start == value.size()) return std::nullopt;  // a trailing separator
                }
                break;
        }
    }
    if (at != bytes.size() || !BrandProblem(b).empty()) return std::nullopt;
    return b;
}

std::optional<Brand> LoadBrand(Resources& resources) {
    std::span<const uint8_t> bytes;
    try {
        bytes = resources.Find(kBrandResource);
    } catch (const Error&) {
        return Brand{};
    }
    return DecodeBrand(bytes);
}

}  // namespace setup
