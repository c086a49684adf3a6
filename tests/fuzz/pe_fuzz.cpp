// Fuzzes what the packaging tool reads from an executable it is handed (`pack-setup inspect`
// on a hostile setup.exe, `build` on a hostile stub): the PE headers and section table, the
// resource tree, the RCDATA lookups, and the record and payload decoding behind them.
// Every image the reader accepts is also given a new resource tree by the writer, and read
// back: the resources must come back as written.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <ostream>
#include <streambuf>
#include <tuple>

#include "fuzz_support.h"
#include "tools/packager/bytes.h"
#include "tools/packager/image_resources.h"
#include "tools/packager/inspect.h"
#include "tools/packager/pe_image.h"
#include "tools/packager/pe_writer.h"
#include "tools/packager/resource_tree.h"

using namespace setup;
using namespace setup::packager;

namespace {

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

bool SameResource(const Resource& a, const Resource& b) {
    return a.type == b.type && a.name == b.name && a.lang == b.lang && a.codepage == b.codepage && a.data == b.data;
}

void CheckImage(const PeImage& pe, size_t size) {
    ZS_FUZZ_CHECK(pe.Bytes().size() == size);
    ZS_FUZZ_CHECK(pe.OverlayStart() <= size);
    ZS_FUZZ_CHECK(pe.DirectoryCount() <= 16);
    ZS_FUZZ_CHECK(pe.DirectoryTableOffset() + 8 * uint64_t{pe.DirectoryCount()} <= pe.SectionTableOffset());
    for (const Section& s : pe.Sections()) {
        if (s.raw_size) ZS_FUZZ_CHECK(s.RawEnd() <= size);
        const auto at = pe.RvaToOffset(s.virtual_address, std::min(s.raw_size, s.MappedSize()));
        if (at) ZS_FUZZ_CHECK(*at + std::min(s.raw_size, s.MappedSize()) <= size);
    }
    for (uint32_t i = 0; i < 16; ++i) {
        const DataDirectory d = pe.Directory(i);
        if (const auto at = pe.RvaToOffset(d.rva, d.size)) ZS_FUZZ_CHECK(*at + d.size <= size);
    }
}

void CheckList(const std::vector<Resource>& list) {
    for (size_t i = 1; i < list.size(); ++i)
        ZS_FUZZ_CHECK(std::tie(list[i - 1].type, list[i - 1].name, list[i - 1].lang) <
                      std::tie(list[i].type, list[i].name, list[i].lang));
}

// The writer's side: the stub's resources plus a package's, laid out anew and read back.
void RoundTrip(const PeImage& pe, std::vector<Resource> list) {
    PutResource(list, Resource{ResourceId::Id(kRtRcdata), ResourceId::Name("SETUPINI"), 0, 0, {1, 2, 3, 4, 5}});
    CheckList(list);
    std::vector<uint8_t> out;
    ResourcePlacement placed;
    try {
        out = WithResources(pe, list, &placed);
    } catch (const PackError&) {
        return;  // signed, no room for a section header, too large: refused with a message
    }
    std::optional<PeImage> again;
    try {
        again = PeImage::Parse(out, "written");
    } catch (const PackError& e) {
        std::fprintf(stderr, "the written image does not parse: %s\n", e.what());
        std::abort();
    }
    std::vector<Resource> back;
    try {
        back = ReadResources(*again);
    } catch (const PackError& e) {
        std::fprintf(stderr, "the written resources do not read back: %s\n", e.what());
        std::abort();
    }
    ZS_FUZZ_CHECK(back.size() == list.size());
    for (size_t i = 0; i < list.size(); ++i) ZS_FUZZ_CHECK(SameResource(back[i], list[i]));
    ZS_FUZZ_CHECK(again->Sections().size() >= pe.Sections().size());

    // Everything but the resources (and a relocation section moved up behind them) is kept:
    // every other section's data, every other directory and the entry point.
    const int r = pe.Directory(kDirResource).rva ? pe.SectionOf(pe.Directory(kDirResource).rva) : -1;
    for (size_t i = 0; i < pe.Sections().size(); ++i) {
        const Section& before = pe.Sections()[i];
        const Section& after = again->Sections()[i];
        if (placed.in_place && static_cast<int>(i) == r) continue;
        if (placed.moved_relocations && static_cast<int>(i) == r + 1) {
            ZS_FUZZ_CHECK(std::equal(pe.Bytes().begin() + before.raw_pointer, pe.Bytes().begin() + before.RawEnd(),
                                     again->Bytes().begin() + after.raw_pointer, again->Bytes().begin() + after.RawEnd()));
            continue;
        }
        ZS_FUZZ_CHECK(after.virtual_address == before.virtual_address && after.raw_size == before.raw_size);
        if (before.raw_size)
            ZS_FUZZ_CHECK(std::equal(pe.Bytes().begin() + before.raw_pointer, pe.Bytes().begin() + before.RawEnd(),
                                     again->Bytes().begin() + after.raw_pointer, again->Bytes().begin() + after.RawEnd()));
    }
    for (uint32_t d = 0; d < pe.DirectoryCount(); ++d)
        if (d != kDirResource && !(placed.moved_relocations && d == 5))
            ZS_FUZZ_CHECK(again->Directory(d).rva == pe.Directory(d).rva && again->Directory(d).size == pe.Directory(d).size);
    ZS_FUZZ_CHECK(Get32(again->Bytes(), again->OptionalHeaderOffset() + 16) == Get32(pe.Bytes(), pe.OptionalHeaderOffset() + 16));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<PeImage> pe;
    try {
        pe = PeImage::Parse(std::vector<uint8_t>(data, data + size), "setup.exe");
    } catch (const PackError&) {
        return 0;
    }
    CheckImage(*pe, size);

    std::vector<Resource> list;
    try {
        list = ReadResources(*pe);
    } catch (const PackError&) {
        return 0;
    }
    CheckList(list);

    // `inspect` reads the file itself and prints everything it finds, with the package layer
    // decoding the record and payload as the setup program would.
    const auto path = fuzz::ScratchDir::Write("setup.exe", std::span(data, size));
    // ZS_FUZZ_VERBOSE=1 shows the report, for looking at one input by hand.
    static const bool verbose = std::getenv("ZS_FUZZ_VERBOSE") != nullptr;
    NullBuffer null;
    std::ostream out(verbose ? std::cerr.rdbuf() : &null);
    try {
        (void)Inspect(path, out);
    } catch (const PackError& e) {
        std::fprintf(stderr, "inspect refused an image the reader accepted: %s\n", e.what());
        std::abort();
    }

    ImageResources resources(list);
    try {
        (void)resources.Find("setupini");
    } catch (const Error& e) {
        ZS_FUZZ_CHECK(e.text() == "Resource setupini not found");
    }

    RoundTrip(*pe, std::move(list));
    return 0;
}
