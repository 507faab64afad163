// Build-time helper: writes the small binary resources the program carries.
//   make_carried_data word FILE VALUE          two bytes, little-endian
//   make_carried_data placeholder FILE PARTNO SIZE
// A placeholder firmware image is plainly marked as one in every 256-byte
// line, so nobody can mistake it for a controller's firmware.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

static int fail(const char* why)
{
    std::fprintf(stderr, "make_carried_data: %s\n", why);
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 4)
        return fail("usage: word FILE VALUE | placeholder FILE PARTNO SIZE");
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    if (!out)
        return fail("cannot write the output file");
    if (std::strcmp(argv[1], "word") == 0) {
        const unsigned long v = std::strtoul(argv[3], nullptr, 10);
        if (v > 0xFFFF)
            return fail("value does not fit in 16 bits");
        const char bytes[2] = {char(v & 0xFF), char(v >> 8)};
        out.write(bytes, 2);
    } else if (std::strcmp(argv[1], "placeholder") == 0 && argc == 5) {
        const long size = std::strtol(argv[4], nullptr, 10);
        if (size <= 0)
            return fail("bad size");
        std::string line = "CORVANE PLACEHOLDER FIRMWARE " + std::string(argv[3])
            + " - NOT A CONTROLLER FIRMWARE IMAGE - DO NOT UPLOAD. "
              "Configure with -DCORVANE_FIRMWARE_DIR=<folder> to carry the real images.";
        line.resize(255, ' ');
        line += '\n';
        std::string image;
        while (long(image.size()) < size)
            image += line;
        image.resize(size_t(size));
        out.write(image.data(), std::streamsize(image.size()));
    } else {
        return fail("unknown request");
    }
    return out.good() ? 0 : fail("write failed");
}
