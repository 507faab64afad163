#pragma once
// The controller memory the system uses: the configuration block, the
// firmware staging area and the image store. Anything outside them is refused.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

struct SimRegion {
    const char* name;
    uint32_t address;
    uint32_t size;
};

class SimMemory {
public:
    static constexpr std::array<SimRegion, 3> kRegions{{
        {"config", 0x00000, 1408},
        {"firmware", 0x37000, 266240},
        {"images", 0x80000, 3657728},
    }};

    SimMemory();

    // False (nothing changed) unless the whole range lies inside one region.
    bool write(uint32_t address, const uint8_t* data, std::size_t length);
    bool read(uint32_t address, uint8_t* out, std::size_t length) const;
    // Region contents; empty for an unknown index.
    QByteArray region(int index) const;
    // Fills every region with the erased value 0xFF.
    void erase();

private:
    int regionOf(uint32_t address, std::size_t length) const;
    std::array<std::vector<uint8_t>, kRegions.size()> m_data;
};
