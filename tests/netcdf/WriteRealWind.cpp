// tvl-write-real-wind PAIR_STEM OUT.nc [--packed]: writes the global wind
// pair as a CF NetCDF-4 file (see RealWindCf.h), for the README's picture.
#include "RealWindCf.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4 || (argc == 4 && std::string(argv[3]) != "--packed")) {
        std::fputs("usage: tvl-write-real-wind PAIR_STEM OUT.nc [--packed]\n", stderr);
        return 2;
    }
    tvl::test::RealWindCf wind;
    wind.packed = argc == 4;
    std::string error;
    if (!wind.write(argv[1], argv[2], error)) {
        std::fprintf(stderr, "tvl-write-real-wind: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
