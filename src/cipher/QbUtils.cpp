#include "cipher/QbUtils.h"

std::int32_t Min(std::int32_t A, std::int32_t B) {
    return A < B ? A : B;
}

std::int32_t Max(std::int32_t A, std::int32_t B) {
    return A > B ? A : B;
}
