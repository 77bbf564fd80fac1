#include "app/BannerBitmap.h"

#include "app/BannerRle.h"

#include <cstdint>
#include <cstring>

namespace Pellquin {

namespace {

// Larger than any banner strip; the same bound the branding tool puts on banners.
constexpr LONG kMaxSide = 4096;

struct PalettedInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// An RLE8 bitmap resource (header, colour table, runs) expanded into a new DIB
// section; null when the header or the runs are damaged.
HBITMAP expandRle8Bitmap(const uint8_t* resource, DWORD size) {
    PalettedInfo info = {};
    std::memcpy(&info.header, resource, sizeof info.header);
    const BITMAPINFOHEADER& h = info.header;
    const DWORD colours = h.biClrUsed ? h.biClrUsed : 256;
    if (h.biSize < sizeof h || h.biSize > size || h.biPlanes != 1 || h.biBitCount != 8 ||
        h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight <= 0 || h.biHeight > kMaxSide ||
        colours > 256 || colours * sizeof(RGBQUAD) > size - h.biSize)
        return nullptr;
    std::memcpy(info.colours, resource + h.biSize, colours * sizeof(RGBQUAD));
    const uint8_t* runs = resource + h.biSize + colours * sizeof(RGBQUAD);
    const size_t runsSize = size - h.biSize - colours * sizeof(RGBQUAD);

    info.header.biSize = sizeof info.header;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = 0;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const uint32_t width = uint32_t(h.biWidth);
    const uint32_t height = uint32_t(h.biHeight);
    const size_t stride = (size_t(width) + 3) & ~size_t(3);
    std::memset(bits, 0, stride * height);
    if (!ExpandRle8(runs, runsSize, width, height, static_cast<uint8_t*>(bits), stride)) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

} // namespace

HBITMAP LoadBannerBitmap(HMODULE module, const wchar_t* name) {
    if (HRSRC found = FindResourceW(module, name, RT_BITMAP)) {
        HGLOBAL loaded = LoadResource(module, found);
        const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        const DWORD size = SizeofResource(module, found);
        BITMAPINFOHEADER header = {};
        if (data && size >= sizeof header) {
            std::memcpy(&header, data, sizeof header);
            if (header.biCompression == BI_RLE8)
                return expandRle8Bitmap(data, size);
        }
    }
    return static_cast<HBITMAP>(LoadImageW(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

} // namespace Pellquin
