// What the fuzz targets share: a broken promise of the code under test stops
// the run with the input that broke it, as a crash does.
#pragma once

#include <cstdlib>

namespace velto::fuzz {

inline void check(bool promise)
{
    if (!promise)
        std::abort();
}

} // namespace velto::fuzz
