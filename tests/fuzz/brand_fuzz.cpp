// Fuzzes the decoding of the brand resource ("SETUPBRAND"): a brand that decodes is fit, and
// encoding it again gives a resource that decodes to the same brand. Its texts go through
// BrandText, whose output holds no half of the brand word.
//
// Input: the resource's bytes.
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "package/brand.h"

using namespace setup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<Brand> brand = DecodeBrand(std::span(data, size));
    if (!brand) return 0;
    ZS_FUZZ_CHECK(BrandProblem(*brand).empty());
    ZS_FUZZ_CHECK(DecodeBrand(EncodeBrand(*brand)) == brand);
    for (const std::string& text : {brand->box_title, brand->site, std::string(kDefaultBrandName) + brand->name})
        ZS_FUZZ_CHECK(BrandText(*brand, text).size() <= text.size() * (brand->name.size() + 1));
    return 0;
}
