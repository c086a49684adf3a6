// Damaged, signed and crowded stubs: each gets a PackError with a message that says what is
// wrong, never a crash or an out-of-bounds read.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/unit/packager_test_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/pe_image.h"
#include "tools/packager/pe_writer.h"
#include "tools/packager/resource_tree.h"

namespace setup::packager {
namespace {

using testing::MakeStub;
using testing::StubSpec;
using testing::StubTail;

std::vector<uint8_t> Stub(bool pe64 = false, StubTail tail = StubTail::kRelocAfterRsrc) {
    return MakeStub(StubSpec{.pe64 = pe64, .tail = tail, .resources = testing::TypicalStubResources()});
}

// Parses, reads the resources and rewrites them: the whole path a stub takes.
void Package(std::vector<uint8_t> bytes) {
    const PeImage pe = PeImage::Parse(std::move(bytes), "stub.exe");
    std::vector<Resource> list = ReadResources(pe);
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPINI"), 0, 0, {1}});
    WithResources(pe, list);
}

std::string Refusal(std::vector<uint8_t> bytes) {
    try {
        Package(std::move(bytes));
    } catch (const PackError& e) {
        return e.what();
    }
    return "";
}

constexpr size_t kOpt = 0x98;            // optional header of the synthetic stubs
constexpr size_t kDirs32 = kOpt + 96;    // their data directories (PE32)
constexpr size_t kTable32 = kOpt + 224;  // their section table (PE32)
constexpr size_t kTree = 0x600;          // their resource tree in the file

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* message;  // a part of the expected message
};

TEST(DamagedStub, EachDamageIsNamedInTheMessage) {
    const std::vector<Damage> damages = {
        {"empty file", [](auto& b) { b.clear(); }, "no MZ header"},
        {"not MZ", [](auto& b) { b[0] = 'X'; }, "no MZ header"},
        {"PE offset past the end", [](auto& b) { Put32(b, 0x3C, 0x7FFFFFF0); }, "PE header offset"},
        {"no PE signature", [](auto& b) { b[0x81] = 'X'; }, "no PE signature"},
        {"unknown magic", [](auto& b) { Put16(b, kOpt, 0x107); }, "magic"},
        {"optional header too short", [](auto& b) { Put16(b, 0x84 + 16, 40); }, "too short"},
        {"optional header past the end", [](auto& b) { Put16(b, 0x84 + 16, 0xFFFF); }, "optional header"},
        {"no sections", [](auto& b) { Put16(b, 0x84 + 2, 0); }, "0 sections"},
        {"section table past the end", [](auto& b) { Put16(b, 0x84 + 2, 90); }, "section table"},
        {"bad file alignment", [](auto& b) { Put32(b, kOpt + 36, 0x300); }, "FileAlignment"},
        {"section alignment below file alignment", [](auto& b) { Put32(b, kOpt + 32, 0x100); }, "SectionAlignment"},
        {"headers too small", [](auto& b) { Put32(b, kOpt + 60, 0x100); }, "SizeOfHeaders"},
        {"raw data past the end", [](auto& b) { Put32(b, kTable32 + 40 + 20, 0x100000); }, "runs past the end"},
        {"raw size past the end", [](auto& b) { Put32(b, kTable32 + 40 + 16, 0xFFFFFE00); }, "runs past the end"},
        {"sections out of order", [](auto& b) { Put32(b, kTable32 + 40 + 12, 0x1000); }, "overlaps"},
        {"resource directory in no section", [](auto& b) { Put32(b, kDirs32 + 16, 0x900000); }, "lies in no section"},
        {"root entries past the section", [](auto& b) { Put16(b, kTree + 14, 0x7FFF); }, "entries of the root"},
        {"type directory past the section", [](auto& b) { Put32(b, kTree + 16 + 4, 0x80FFFFF0); }, "directory of type"},
        {"type entry that is data", [](auto& b) { Put32(b, kTree + 16 + 4, 0x00000040); }, "data entry where a directory"},
        {"name string past the section",
         [](auto& b) {
             const uint32_t type_dir = Get32(b, kTree + 16 + 4) & 0x7FFFFFFF;
             Put32(b, kTree + type_dir + 16, 0x8000FFF0);
         },
         "name string"},
        {"data outside the image",
         [](auto& b) {
             const uint32_t type_dir = Get32(b, kTree + 16 + 4) & 0x7FFFFFFF;
             const uint32_t name_dir = Get32(b, kTree + type_dir + 16 + 4) & 0x7FFFFFFF;
             const uint32_t entry = Get32(b, kTree + name_dir + 16 + 4);
             Put32(b, kTree + entry, 0x00800000);
         },
         "lie outside the image"},
        {"language entry that is a directory",
         [](auto& b) {
             const uint32_t type_dir = Get32(b, kTree + 16 + 4) & 0x7FFFFFFF;
             const uint32_t name_dir = Get32(b, kTree + type_dir + 16 + 4) & 0x7FFFFFFF;
             Put32(b, kTree + name_dir + 16 + 4, 0x80000000);  // back to the root: a loop
         },
         "not a plain data entry"},
        {"two types sharing one directory (entries that multiply)",
         [](auto& b) { Put32(b, kTree + 24 + 4, Get32(b, kTree + 16 + 4)); },
         "reached a second time"},
        {"signed", [](auto& b) { Put32(b, kDirs32 + 32, 0x2000); Put32(b, kDirs32 + 36, 16); }, "signed"},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.what);
        std::vector<uint8_t> b = Stub();
        d.apply(b);
        const std::string message = Refusal(b);
        EXPECT_NE(message.find(d.message), std::string::npos) << message;
        EXPECT_EQ(message.find("stub.exe"), 0u) << "the message names the file: " << message;
    }
}

TEST(DamagedStub, EveryTruncationIsRefusedCleanly) {
    for (bool pe64 : {false, true}) {
        const std::vector<uint8_t> whole = Stub(pe64);
        for (size_t n = 0; n < whole.size(); n += n < 0x700 ? 1 : 97) {
            SCOPED_TRACE(n);
            EXPECT_NE(Refusal({whole.begin(), whole.begin() + n}), "");
        }
    }
}

TEST(DamagedStub, RandomDamageNeverCrashes) {
    // Flipped bytes anywhere in the headers and the resource tree: either the stub still
    // packages or the tool refuses it; it must never read outside the file.
    std::mt19937 gen(12345);
    for (bool pe64 : {false, true}) {
        const std::vector<uint8_t> whole = Stub(pe64);
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> b = whole;
            const int flips = 1 + round % 4;
            for (int f = 0; f < flips; ++f) {
                const size_t at = round % 2 ? 0x80 + gen() % 0x200 : kTree + gen() % 0x100;
                b[at] = static_cast<uint8_t>(gen());
            }
            try {
                Package(std::move(b));
            } catch (const PackError&) {
            }
        }
    }
}

TEST(CrowdedStub, NoRoomForAnotherSectionHeaderIsRefused) {
    // Resources not last and not followed by relocations: a section must be appended, but
    // the bytes after the section table are in use.
    std::vector<uint8_t> b = Stub(false, StubTail::kDataAfterRsrc);
    b[kTable32 + 3 * 40 + 5] = 0x11;
    EXPECT_NE(Refusal(b).find("no free room in the headers"), std::string::npos);
}

TEST(CrowdedStub, RelocationsPointingIntoTheResourcesStayPut) {
    // A fix-up that targets the resource section means something holds its address: the
    // relocations must not move, so a new section is appended instead.
    std::vector<uint8_t> b = Stub(false, StubTail::kRelocAfterRsrc);
    const PeImage before = PeImage::Parse(b, "stub");
    const size_t reloc = before.Sections()[2].raw_pointer;
    Put32(b, reloc, 0x2000);  // the block's page: .rsrc
    const PeImage pe = PeImage::Parse(b, "stub");
    ResourcePlacement placed;
    WithResources(pe, ReadResources(pe), &placed);
    EXPECT_FALSE(placed.in_place);
    EXPECT_EQ(placed.rva, 0x4000u);
}

TEST(DamagedStub, ASectionWithoutFileDataHasNoFileOffset) {
    // Its raw data pointer means nothing when it has no raw data: not even an empty range of
    // it may be placed at that offset, which can lie far past the end of the file.
    std::vector<uint8_t> b = Stub(false, StubTail::kDataAfterRsrc);
    Put32(b, kTable32 + 2 * 40 + 16, 0);           // .data: SizeOfRawData
    Put32(b, kTable32 + 2 * 40 + 20, 0x7FFFFE00);  // PointerToRawData
    const PeImage pe = PeImage::Parse(b, "stub");
    const uint32_t rva = pe.Sections()[2].virtual_address;
    ASSERT_EQ(pe.SectionOf(rva), 2);
    EXPECT_FALSE(pe.RvaToOffset(rva, 0).has_value());
    EXPECT_FALSE(pe.RvaToOffset(rva + 4, 0).has_value());
    EXPECT_TRUE(pe.RvaToOffset(pe.Sections()[0].virtual_address, 0).has_value());
}

TEST(CrowdedStub, SectionDataAfterTheResourcesInTheFileAreKept) {
    // The raw data of sections need not follow their order: here .text's data lie inside the
    // resource section's last file page. Rewriting the resources where they stand would
    // overwrite them, so a new section is appended and .text keeps every byte.
    for (StubTail tail : {StubTail::kRsrcLast, StubTail::kRelocAfterRsrc}) {
        SCOPED_TRACE(static_cast<int>(tail));
        std::vector<uint8_t> b = Stub(false, tail);
        const PeImage before = PeImage::Parse(b, "stub");
        const uint32_t text_at = static_cast<uint32_t>(before.Sections()[1].RawEnd() - 0x200);
        Put32(b, kTable32 + 20, text_at);
        const PeImage pe = PeImage::Parse(b, "stub");
        std::vector<Resource> list = ReadResources(pe);
        PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPPACK"), 0, 0, testing::RandomBytes(3000, 2)});
        ResourcePlacement placed;
        const PeImage out = PeImage::Parse(WithResources(pe, list, &placed), "setup");
        EXPECT_FALSE(placed.in_place);
        const Section& text = out.Sections()[0];
        ASSERT_EQ(text.raw_size, 0x200u);
        EXPECT_TRUE(std::equal(b.begin() + text_at, b.begin() + text_at + 0x200, out.Bytes().begin() + text.raw_pointer));
        EXPECT_EQ(ReadResources(out).size(), list.size());
    }
}

TEST(Overlay, ACoffSymbolTablePointerFollowsTheOverlay) {
    StubSpec layout{.tail = StubTail::kRsrcLast, .resources = testing::TypicalStubResources(),
                  .overlay = std::vector<uint8_t>(64, 0x5A)};
    std::vector<uint8_t> b = MakeStub(layout);
    const uint32_t overlay_at = static_cast<uint32_t>(b.size() - 64);
    Put32(b, 0x84 + 8, overlay_at);
    const PeImage pe = PeImage::Parse(b, "stub");
    std::vector<Resource> list = ReadResources(pe);
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPPACK"), 0, 0, testing::RandomBytes(5000, 1)});
    const std::vector<uint8_t> out = WithResources(pe, list);
    const uint32_t moved = Get32(out, 0x84 + 8);
    EXPECT_EQ(moved, out.size() - 64);
    EXPECT_EQ(out[moved], 0x5A);
}

}  // namespace
}  // namespace setup::packager
