#pragma once
// Resource numbers of the panel images and the application icon, mapped to their paths in the
// compiled-in resources (resources/vistrela.qrc). The images themselves are written by
// tools/make_images.cpp.

#include <array>

namespace vistrela {

struct ButtonImage {
    int number;        // resource number used by the panel table
    const char* path;  // qrc path, for example ":/images/133_record.png"
    int widthPx;
    int heightPx;
};

extern const std::array<ButtonImage, 38> kButtonImages;

// The qrc path of image `number`, or nullptr when there is no such image.
const char* buttonImagePath(int number);

// The application icon in two sizes.
inline constexpr const char* kAppIconPath = ":/images/vistrela_256.png";
inline constexpr const char* kAppIconSmallPath = ":/images/vistrela_48.png";

}  // namespace vistrela
