// payload.h: the byte sum that guards the payload, and the record's start-up loader.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/platform.h"
#include "package/packed_resource.h"
#include "package/setup_config.h"

namespace setup {

// Sum of all bytes as unsigned values, in a 32-bit accumulator that wraps.
uint32_t ByteSum(std::span<const uint8_t> bytes);
// The same sum without SIMD (word at a time), used on processors without SSE2.
uint32_t ByteSumPortable(std::span<const uint8_t> bytes);

// Decodes "SETUPINI" from the resource bytes straight into the record (no temporary file).
// Throws Error as Unpack and Resources::Find do.
void LoadRecord(Resources& resources, SetupConfig& config);

}  // namespace setup
