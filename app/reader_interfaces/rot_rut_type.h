#pragma once
// The cloud's ROT/RUT work type of a desktop work type id (H_TYPID) of the
// Administration line; 0 for none and for every id the cloud has no type for.
#include <array>

inline int CloudRotRutType(int desktopTypeId) {
  static constexpr std::array<int, 44> kCloudType = {
      0,                                  // 0: none
      1,  1,  2,  2,  3,  3,  4,  4,      // 1-8
      5,  5,  6,  6,  7,  7,  9,  9,      // 9-16
      10, 10, 11, 11, 12, 12, 13, 13,     // 17-24
      14, 14, 15, 15, 17, 17, 0,          // 25-31
      18, 18, 19, 19, 22, 22, 27, 27,     // 32-39
      29, 29, 28, 26};                    // 40-43
  return desktopTypeId >= 1 && desktopTypeId <= 43 ? kCloudType[desktopTypeId] : 0;
}
