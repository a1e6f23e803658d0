#pragma once

#include <cstdint>

std::int32_t Min(std::int32_t A, std::int32_t B);
std::int32_t Max(std::int32_t A, std::int32_t B);
