// vendor_brand.h: the vendor's brand the brand tests package: its own word, box title, site
// and helper programs (no licence address of its own).
#pragma once

#include "package/brand.h"

namespace setup::testing {

inline Brand VendorBrand() {
    Brand b;
    b.name = "极光";
    b.box_title = "AcmeNotes";
    b.site = "https://notes.acme.example/";
    b.end_programs = {"AcmeSync.exe", "AcmeHelper.exe"};
    return b;
}

}  // namespace setup::testing
