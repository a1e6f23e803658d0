#pragma once

// The cipher library's version text, shown by the component's Version property.
inline constexpr const char* QbVersionText = "2.07";
