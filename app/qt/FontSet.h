// The faces the game can draw with, out of all those the desktop has installed.
//
// Qt lists every installed face before it draws its first text: on a desktop
// with a couple of thousand faces that is most of the start-up. The game draws
// with a handful, so fontconfig is told to list only those; everything else of
// the desktop's fontconfig set-up (its rules for antialiasing, hinting and
// subpixel order, its aliases, FONTCONFIG_FILE) stays as it is.
#pragma once

#include <QFont>
#include <QList>
#include <QStringList>

#include <span>

namespace tintara
{

// One font the game asks for: its families in the order they are asked for,
// then the generic family ("serif", "sans-serif") that Qt falls back on, if
// any; and its weight and style, which pick the face within the family.
struct FontRequest {
    QStringList families;
    int weight = QFont::Normal;
    QFont::Style style = QFont::StyleNormal;
    bool operator==(const FontRequest&) const = default;
};

// The fonts the game asks for: the window's, and the desktop's dialog fonts.
QList<FontRequest> FamiliesAskedFor(std::span<const QFont> windowFonts);

// Makes fontconfig list only the faces Qt will draw with for these requests:
// of each request, the first family that is installed, or, where none is, the
// family fontconfig gives in place of the first (helped by the generic family,
// as Qt asks); of that family, the faces of the request's weight and style
// where it has one of exactly those, else all. Where few faces are installed,
// listing them all costs Qt less than the selection would, and all are kept.
// Call it after the application object is made and before any text is
// measured or drawn. Either way fontconfig's set-up is loaded once, here.
// Returns how many faces fontconfig lists now, or -1 where it is left as it was.
int KeepOnlyFacesFor(const QList<FontRequest>& requests);

// Each of the window's fonts whose first families no face fontconfig lists
// carries asks for the first family that one does. Qt draws with that family
// either way, but finds it only after sorting every listed face as a stand-in
// for the missing one, through the desktop's rules (FcFontSort): a few million
// instructions a font. Call it after KeepOnlyFacesFor has made its set-up
// current, before the window's controls take the fonts.
void AskForInstalledFamilies(std::span<QFont> windowFonts);

} // namespace tintara
