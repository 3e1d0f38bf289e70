#include "analysis/spectralSums.h"

namespace analysis {

SpectralSums spectralSums;

void SpectralKind::clear()
{
    *this = SpectralKind{};
}

void SpectralSums::clearAll()
{
    for (auto& k : kinds)
        k.clear();
}

}  // namespace analysis
