#pragma once
// The job's copy of what it has sent: offset o stands for radio address 0x08010000 + o.
// The transfer stores every data byte it sends; the checksum frame sums it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv {

class ImageMirror {
  public:
    ImageMirror();  // every byte 0xFF

    void Fill(std::uint8_t value);
    // Stores data at its radio address; false (nothing stored) when any byte falls outside.
    bool Store(std::uint32_t address, std::span<const std::uint8_t> data);
    // The 16-bit wrapping sum the checksum frame carries (0x08010000..0x080DFFEF).
    std::uint16_t ChecksumSum() const;
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace qv
