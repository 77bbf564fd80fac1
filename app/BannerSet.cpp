// The banner strip: the dialog takes the bitmap whose size fits the strip best,
// then the one whose colour depth is closest below the screen's.
#include "app/BannerBitmap.h"
#include "app/PellquinApp.h"
#include "app/PellquinDlg.h"
#include "app/TextFormat.h"

#include <cstdlib>
#include <cwctype>

void CPellquinDlg::CollectBanners() {
    if (!m_bannerSet.names.empty())
        return;
    m_bannerSet.module = theApp.m_hInstance;
    for (int n = 0; n <= 9; ++n) {
        os::wstring name = FormatPrintfString(L"IDB_TOPSTRIP%d", n);
        HBITMAP bitmap = Pellquin::LoadBannerBitmap(m_bannerSet.module, name.c_str());
        if (!bitmap)
            break;
        DeleteObject(bitmap);
        m_bannerSet.names.push_back(name);
    }
}

HBITMAP CPellquinDlg::ChooseBanner(const RECT* rect) {
    if (m_bannerSet.chosen || !rect)
        return m_bannerSet.chosen;

    HDC screen = GetDC(m_hWnd);
    uint16_t depth = uint16_t(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(m_hWnd, screen);

    uint32_t best = 0xFFFFFFFF;
    HBITMAP chosen = nullptr;
    LONG width = 0;
    LONG height = 0;
    for (const os::wstring& name : m_bannerSet.names) {
        // A name that starts with digits stands for a numeric resource id.
        const wchar_t* id = name.c_str();
        if (!name.empty() && std::iswdigit(name[0]))
            id = MAKEINTRESOURCEW(_wtoi(name.c_str()));
        HBITMAP bitmap = Pellquin::LoadBannerBitmap(m_bannerSet.module, id);
        if (!bitmap)
            continue;
        BITMAP info = {};
        if (!GetObjectW(bitmap, sizeof(info), &info)) {
            DeleteObject(bitmap);
            continue;
        }
        uint32_t dw = uint32_t(std::abs(std::abs(rect->right - rect->left) - info.bmWidth));
        uint32_t dh = uint32_t(std::abs(std::abs(rect->bottom - rect->top) - info.bmHeight));
        uint32_t score = ((dw + dh) << 16) + uint16_t(depth - info.bmBitsPixel);
        if (score < best) {
            best = score;
            if (chosen)
                DeleteObject(chosen);
            chosen = bitmap;
            width = info.bmWidth;
            height = info.bmHeight;
        } else {
            DeleteObject(bitmap);
        }
    }
    if (m_bannerSet.chosen)
        DeleteObject(m_bannerSet.chosen);
    m_bannerSet.chosen = chosen;
    m_bannerSet.size = {0, 0, width, height};
    return chosen;
}
