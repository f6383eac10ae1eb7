#include "ui/toolkit/skin_image.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include "stb_image.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace SkinUI {

namespace {

struct StbPixels {
    unsigned char* data = nullptr;
    ~StbPixels() {
        if (data != nullptr) stbi_image_free(data);
    }
};

}  // namespace

std::uint32_t PremultiplyPixel(std::uint32_t argb) {
    const std::uint32_t alpha = argb >> 24;
    if (alpha == 255) return argb;
    const auto scale = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
    return (alpha << 24) | (scale((argb >> 16) & 0xFF) << 16) | (scale((argb >> 8) & 0xFF) << 8) | scale(argb & 0xFF);
}

std::unique_ptr<SkinImage> SkinImage::Decode(const void* bytes, size_t size, bool useMask, std::uint32_t mask) {
    if (bytes == nullptr || size == 0 || size > 0x7FFFFFFF) return nullptr;
    int width = 0, height = 0, channels = 0;
    StbPixels pixels;
    pixels.data = stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width, &height,
                                        &channels, 4);
    if (pixels.data == nullptr) return nullptr;

    std::unique_ptr<SkinImage> image(new SkinImage());
    if (!image->m_Surface.Create(width, height)) return nullptr;
    std::uint32_t* target = image->m_Surface.Bits();
    const size_t count = static_cast<size_t>(width) * height;
    bool hasAlpha = false;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* rgba = pixels.data + i * 4;
        std::uint32_t value = PremultiplyPixel((static_cast<std::uint32_t>(rgba[3]) << 24) |
                                               (static_cast<std::uint32_t>(rgba[0]) << 16) |
                                               (static_cast<std::uint32_t>(rgba[1]) << 8) | rgba[2]);
        if (useMask && value == mask) value = 0;
        if ((value >> 24) != 255) hasAlpha = true;
        target[i] = value;
    }
    image->m_HasAlpha = hasAlpha;
    return image;
}

}  // namespace SkinUI
