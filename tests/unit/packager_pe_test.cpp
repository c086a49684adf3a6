// The packaging tool's PE layer: reading resource trees, rewriting the resource section in
// each of its three placements, the checksum, and refusing damaged or signed stubs.
#include <gtest/gtest.h>

#include "tests/unit/packager_test_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/pe_image.h"
#include "tools/packager/pe_writer.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {
namespace {

using testing::MakeStub;
using testing::StubResource;
using testing::StubSpec;
using testing::StubTail;

Resource Rcdata(const char* name, std::vector<uint8_t> data) {
    return Resource{ResourceId::Id(kRtRcdata), ResourceId::Name(name), 0, 0, std::move(data)};
}

std::vector<Resource> Expected(const std::vector<StubResource>& stub) {
    std::vector<Resource> out;
    for (const StubResource& s : stub) {
        ResourceId name = s.name.empty() ? ResourceId::Id(s.id) : ResourceId{true, 0, s.name};
        out.push_back(Resource{ResourceId::Id(s.type), std::move(name), s.lang, 0, s.data});
    }
    return out;
}

void ExpectSameResources(const std::vector<Resource>& got, const std::vector<Resource>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(TypeName(want[i].type) + " " + want[i].name.ToString());
        EXPECT_EQ(got[i].type, want[i].type);
        EXPECT_EQ(got[i].name, want[i].name);
        EXPECT_EQ(got[i].lang, want[i].lang);
        EXPECT_EQ(got[i].data, want[i].data);
    }
}

uint32_t Opt32(const PeImage& pe, size_t field) { return Get32(pe.Bytes(), pe.OptionalHeaderOffset() + field); }

// The textbook algorithm, folding after every word, as an independent check.
uint32_t ReferenceChecksum(std::vector<uint8_t> b, size_t field) {
    std::fill(b.begin() + field, b.begin() + field + 4, 0);
    const size_t n = b.size();
    if (n % 2) b.push_back(0);
    uint32_t sum = 0;
    for (size_t i = 0; i < b.size(); i += 2) {
        sum += b[i] | b[i + 1] << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<uint32_t>(n);
}

struct Case {
    bool pe64;
    StubTail tail;
};

class ResourceRewrite : public ::testing::TestWithParam<Case> {};

TEST_P(ResourceRewrite, KeepsTheStubsResourcesAndEveryOtherByte) {
    StubSpec layout{.pe64 = GetParam().pe64, .tail = GetParam().tail, .resources = testing::TypicalStubResources(),
                  .overlay = {'O', 'V', 'E', 'R', 'L', 'A', 'Y', 0, 1}};
    const PeImage stub = PeImage::Parse(MakeStub(layout), "stub");
    EXPECT_EQ(stub.Is64(), GetParam().pe64);
    std::vector<Resource> list = ReadResources(stub);
    ExpectSameResources(list, Expected(layout.resources));

    // Large enough that the resources outgrow the stub's one-page section.
    PutResource(list, Rcdata("SETUPPACK", testing::RandomBytes(70000, 7)));
    PutResource(list, Rcdata("SETUPINI", {9, 8, 7, 6, 5}));
    PutResource(list, Rcdata("PROTOCOL", {}));
    ResourcePlacement placed;
    const std::vector<uint8_t> out = WithResources(stub, list, &placed);
    const PeImage pe = PeImage::Parse(out, "out");

    // The stale SETUPINI (language 0x0804) is gone; the new one has the neutral language.
    std::vector<Resource> want = Expected(layout.resources);
    std::erase_if(want, [](const Resource& r) { return r.name == ResourceId::Name("SETUPINI"); });
    want.insert(want.begin() + 2, Rcdata("PROTOCOL", {}));
    want.insert(want.begin() + 3, Rcdata("SETUPINI", {9, 8, 7, 6, 5}));
    want.insert(want.begin() + 4, Rcdata("SETUPPACK", testing::RandomBytes(70000, 7)));
    ExpectSameResources(ReadResources(pe), want);

    // Code bytes, headers before the data directories and the overlay are untouched.
    const Section& text = pe.Sections()[0];
    EXPECT_TRUE(std::equal(stub.Bytes().begin() + 0x400, stub.Bytes().begin() + 0x600, out.begin() + text.raw_pointer));
    EXPECT_TRUE(std::equal(stub.Bytes().begin(), stub.Bytes().begin() + 0x86, out.begin()));
    EXPECT_TRUE(std::equal(stub.Bytes().begin() + 0x88, stub.Bytes().begin() + 0x98 + 8, out.begin() + 0x88));
    ASSERT_GE(out.size(), layout.overlay.size());
    EXPECT_TRUE(std::equal(layout.overlay.begin(), layout.overlay.end(), out.end() - layout.overlay.size()));

    const Section& last = pe.Sections().back();
    EXPECT_EQ(Opt32(pe, kOptSizeOfImage), AlignUp(last.VirtualEnd(), 0x1000));
    EXPECT_EQ(Opt32(pe, kOptCheckSum), ReferenceChecksum(out, pe.OptionalHeaderOffset() + kOptCheckSum));
    uint32_t initialized = 0;
    for (const Section& s : pe.Sections())
        if (s.characteristics & 0x40) initialized += s.raw_size;
    EXPECT_EQ(Opt32(pe, kOptSizeOfInitializedData), initialized);
    EXPECT_EQ(pe.Directory(kDirResource).rva, placed.rva);
    EXPECT_EQ(placed.rva % 0x1000, 0u);
    // The resources start on a page of the file, so that a loader can map them rather than
    // copy them; the gap in front of them is zeros.
    EXPECT_EQ(placed.raw_pointer % 0x1000, 0u);
    const Section& rsrc = pe.Sections()[pe.SectionOf(placed.rva)];
    EXPECT_EQ(rsrc.raw_pointer, placed.raw_pointer);
    size_t before = 0;
    for (const Section& s : pe.Sections())
        if (s.raw_size && s.RawEnd() <= placed.raw_pointer) before = std::max<size_t>(before, s.RawEnd());
    EXPECT_TRUE(std::all_of(out.begin() + before, out.begin() + placed.raw_pointer, [](uint8_t b) { return b == 0; }));

    switch (GetParam().tail) {
        case StubTail::kRsrcLast:
            EXPECT_TRUE(placed.in_place);
            EXPECT_EQ(pe.Sections().size(), 2u);
            break;
        case StubTail::kRelocAfterRsrc: {
            EXPECT_TRUE(placed.moved_relocations);
            ASSERT_EQ(pe.Sections().size(), 3u);
            const Section& reloc = pe.Sections()[2];
            EXPECT_EQ(reloc.name, ".reloc");
            EXPECT_EQ(reloc.virtual_address, AlignUp(placed.rva + placed.size, 0x1000));
            EXPECT_EQ(pe.Directory(5).rva, reloc.virtual_address);
            const Section& old = stub.Sections()[2];
            EXPECT_TRUE(std::equal(stub.Bytes().begin() + old.raw_pointer, stub.Bytes().begin() + old.RawEnd(),
                                   out.begin() + reloc.raw_pointer));
            break;
        }
        case StubTail::kDataAfterRsrc: {
            EXPECT_FALSE(placed.in_place);
            ASSERT_EQ(pe.Sections().size(), 4u);
            EXPECT_EQ(pe.Sections()[1].name, ".oldrsrc");
            EXPECT_EQ(pe.Sections()[3].name, ".rsrc");
            // Everything of the old file before its end stays where it was, bar the header fields.
            const Section& data = pe.Sections()[2];
            EXPECT_EQ(data.virtual_address, stub.Sections()[2].virtual_address);
            EXPECT_TRUE(std::equal(stub.Bytes().begin() + 0x600, stub.Bytes().begin() + stub.OverlayStart(),
                                   out.begin() + 0x600));
            break;
        }
    }
}

TEST_P(ResourceRewrite, SameInputGivesTheSameBytesAndARewriteIsStable) {
    StubSpec layout{.pe64 = GetParam().pe64, .tail = GetParam().tail, .resources = testing::TypicalStubResources()};
    const PeImage stub = PeImage::Parse(MakeStub(layout), "stub");
    std::vector<Resource> list = ReadResources(stub);
    PutResource(list, Rcdata("SETUPPACK", testing::RandomBytes(9000, 3)));
    const std::vector<uint8_t> a = WithResources(stub, list);
    EXPECT_EQ(a, WithResources(stub, list));
    // Packaging a finished setup again with the same resources changes nothing.
    const PeImage once = PeImage::Parse(a, "once");
    EXPECT_EQ(WithResources(once, ReadResources(once)), a);
}

INSTANTIATE_TEST_SUITE_P(AllPlacements, ResourceRewrite,
                         ::testing::Values(Case{false, StubTail::kRsrcLast}, Case{true, StubTail::kRsrcLast},
                                           Case{false, StubTail::kRelocAfterRsrc}, Case{true, StubTail::kRelocAfterRsrc},
                                           Case{false, StubTail::kDataAfterRsrc}, Case{true, StubTail::kDataAfterRsrc}));

TEST(ResourceLayout, NamesSortBeforeIdsAndByCodeUnits) {
    std::vector<Resource> list;
    PutResource(list, Rcdata("SETUPPACK", {1}));
    PutResource(list, Rcdata("SETUPINI", {2}));
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Id(7), 0, 0, {3}});
    PutResource(list, Resource{ResourceId::Name("PNG"), ResourceId::Id(1), 0, 0, {4}});
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].type, ResourceId::Name("PNG"));  // named types first
    EXPECT_EQ(list[1].name, ResourceId::Name("SETUPINI"));
    EXPECT_EQ(list[2].name, ResourceId::Name("SETUPPACK"));
    EXPECT_EQ(list[3].name, ResourceId::Id(7));

    std::vector<uint8_t> section;
    section.resize(8, 0xEE);  // the section starts after other bytes
    const uint32_t size = LayoutResources(list, 0x5000, section);
    EXPECT_EQ(section.size(), 8 + size);
    // Root: one named type, one ID type. Walk the tree: zero time stamps, 8-aligned data.
    const std::span<const uint8_t> sec = std::span<const uint8_t>(section).subspan(8);
    EXPECT_EQ(Get16(sec, 12), 1);
    EXPECT_EQ(Get16(sec, 14), 1);
    size_t leaves = 0;
    const auto dir = [&](uint32_t at, int depth, const auto& self) -> void {
        EXPECT_EQ(Get32(sec, at + 4), 0u) << "time stamp";
        const size_t n = size_t{Get16(sec, at + 12)} + Get16(sec, at + 14);
        for (size_t k = 0; k < n; ++k) {
            const uint32_t target = Get32(sec, at + 16 + 8 * k + 4);
            if (depth < 2) {
                ASSERT_TRUE(target & 0x80000000u);
                self(target & 0x7FFFFFFFu, depth + 1, self);
            } else {
                const uint32_t rva = Get32(sec, target);
                EXPECT_EQ(rva % 8, 0u);
                EXPECT_GE(rva, 0x5000u);
                EXPECT_LE(rva - 0x5000 + Get32(sec, target + 4), size);
                ++leaves;
            }
        }
    };
    dir(0, 0, dir);
    EXPECT_EQ(leaves, 4u);
    // The named type's name string reads "PNG".
    const uint32_t name = Get32(sec, 16) & 0x7FFFFFFFu;
    ASSERT_EQ(Get16(sec, name), 3);
    EXPECT_EQ(Get16(sec, name + 2), 'P');
    EXPECT_EQ(Get16(sec, name + 6), 'G');
}

TEST(PeChecksum, MatchesTheTextbookAlgorithm) {
    for (size_t n : {64u, 65u, 4097u}) {
        const std::vector<uint8_t> b = testing::RandomBytes(n, static_cast<uint32_t>(n));
        for (size_t field : {0u, 8u, 13u, 60u}) EXPECT_EQ(PeChecksum(b, field), ReferenceChecksum(b, field));
    }
    // Small enough to add up by hand: words 0x0201 and 0x0005 (the field reads as zero), plus the length.
    const std::vector<uint8_t> tiny = {1, 2, 0xAA, 0xBB, 0xCC, 0xDD, 5, 0};
    EXPECT_EQ(PeChecksum(tiny, 2), 0x0201u + 0x0005u + 8u);
    const std::vector<uint8_t> carry = {0xFF, 0xFF, 0, 0, 0, 0, 0x02, 0x00};  // 0xFFFF + 2 folds to 2
    EXPECT_EQ(PeChecksum(carry, 2), 0x0002u + 8u);
}

}  // namespace
}  // namespace setup::packager
