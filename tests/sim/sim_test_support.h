#pragma once
// Blocks and a simulator for the tests of the simulator.

#include <memory>
#include <vector>

#include "scripted_updater.h"
#include "sim/simulator.h"

namespace qv::test {

// `count` blocks across region 1: a full 256-byte one first, odd addresses, gaps, and one
// that ends on the region's last byte.
inline std::vector<Block> MakeBlocks(int count) {
    std::vector<Block> blocks;
    std::uint32_t address = 0x08010000;
    for (int i = 0; i < count; ++i) {
        const bool last = i == count - 1;
        const std::size_t size = i == 0 ? 256 : last ? 64 : 17 + (i * 37) % 200;
        if (last) {
            address = 0x080E0000 - static_cast<std::uint32_t>(size);
        }
        Block block{address, {}};
        for (std::size_t k = 0; k < size; ++k) {
            block.data.push_back(static_cast<std::uint8_t>((i * 131 + k * 7 + 3) & 0xFF));
        }
        address += static_cast<std::uint32_t>(size) + (i % 3 == 1 ? 0x301 : 0);
        blocks.push_back(std::move(block));
    }
    return blocks;
}

inline std::unique_ptr<Simulator> StartSimulator(SimulatorOptions options = {}) {
    return Simulator::Start(options);
}

}  // namespace qv::test
