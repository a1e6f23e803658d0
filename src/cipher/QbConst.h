#pragma once

// The cipher library's version text, as the cipher object reports it.
inline constexpr const char* QbVersionText = "2.07";
