#include "sim/lib/SimMemory.h"

#include <algorithm>

SimMemory::SimMemory()
{
    for (std::size_t i = 0; i < kRegions.size(); ++i)
        m_data[i].assign(kRegions[i].size, 0xFF);
}

void SimMemory::erase()
{
    for (auto& d : m_data)
        std::fill(d.begin(), d.end(), 0xFF);
}

int SimMemory::regionOf(uint32_t address, std::size_t length) const
{
    for (std::size_t i = 0; i < kRegions.size(); ++i) {
        const uint64_t start = kRegions[i].address;
        const uint64_t end = start + kRegions[i].size;
        if (address >= start && address + static_cast<uint64_t>(length) <= end)
            return static_cast<int>(i);
    }
    return -1;
}

bool SimMemory::write(uint32_t address, const uint8_t* data, std::size_t length)
{
    const int r = regionOf(address, length);
    if (r < 0)
        return false;
    std::copy_n(data, length, m_data[r].begin() + (address - kRegions[r].address));
    return true;
}

bool SimMemory::read(uint32_t address, uint8_t* out, std::size_t length) const
{
    const int r = regionOf(address, length);
    if (r < 0)
        return false;
    std::copy_n(m_data[r].begin() + (address - kRegions[r].address), length, out);
    return true;
}

QByteArray SimMemory::region(int index) const
{
    if (index < 0 || index >= static_cast<int>(kRegions.size()))
        return {};
    return QByteArray(reinterpret_cast<const char*>(m_data[index].data()), static_cast<int>(m_data[index].size()));
}
