#include "Fonts.h"

#include "Wide.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace tintara
{

namespace
{

int CALLBACK NoteFace(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(std::string_view face)
{
    if (face.empty()) {
        return false;
    }
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = Wide(face);
    name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

} // namespace

OwnedFont MakeFont(layout::Font font, int dpi)
{
    const layout::Face face = layout::FaceOf(font);
    std::string_view name = face.named;
    if (!FaceInstalled(name)) {
        const auto* standIn = std::find_if(face.standIns.begin(), face.standIns.end(),
                                           [](std::string_view s) { return FaceInstalled(s); });
        if (standIn != face.standIns.end()) {
            name = *standIn;
        }
    }
    const BYTE family = face.generic == layout::Serif ? FF_ROMAN : FF_SWISS;
    const std::wstring wide = Wide(name);
    return OwnedFont(CreateFontW(-layout::Scaled(layout::PixelSize(face.points), dpi), 0, 0, 0,
                                 FW_BOLD, face.italic ? TRUE : FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 VARIABLE_PITCH | family, wide.c_str()));
}

} // namespace tintara
