// payload.h: the unpacked payload, the byte sum that guards it, and the start-up loaders.
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

class Payload {
public:
    Payload() = default;
    explicit Payload(UnpackedBytes bytes) : bytes_(std::move(bytes)) {}
    explicit Payload(std::span<const uint8_t> bytes);
    std::span<const uint8_t> Bytes() const { return {bytes_.data.get(), bytes_.size}; }
    size_t size() const { return bytes_.size; }
    // The bytes [offset, offset + size), or nullopt when the range runs past the payload
    // (computed in 64 bits: no wrap-around).
    std::optional<std::span<const uint8_t>> Range(uint32_t offset, uint32_t size) const;

private:
    UnpackedBytes bytes_;
};

// Decodes "SETUPINI" from the resource bytes straight into the record (no temporary file).
// Throws Error as Unpack and Resources::Find do.
void LoadRecord(Resources& resources, SetupConfig& config);

// Unpacks "SETUPPACK", reading it a piece at a time (Resources::Open). Throws Error as
// Unpack and Resources::Find do.
Payload LoadPayload(Resources& resources);

}  // namespace setup
