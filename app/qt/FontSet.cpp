#include "FontSet.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

namespace tintara
{

namespace
{

// The generic families Qt asks fontconfig for after a font's own, by its style
// hint.
constexpr const char* Generics[] = {"serif", "sans-serif", "monospace"};

QString GenericOf(const QFont& font)
{
    switch (font.styleHint()) {
    case QFont::Serif:
        return QLatin1String(Generics[0]);
    case QFont::SansSerif:
        return QLatin1String(Generics[1]);
    case QFont::Monospace:
    case QFont::TypeWriter:
        return QLatin1String(Generics[2]);
    default:
        return {};
    }
}

bool IsGeneric(const QString& family)
{
    for (const char* generic : Generics) {
        if (family == QLatin1String(generic)) {
            return true;
        }
    }
    return false;
}

// The families of one font, in the order Qt tries them, and last the generic
// family of its style hint, if any: Qt falls back on that where none of the
// font's own is installed.
QStringList FamiliesOf(const QFont& font)
{
    QStringList families = font.families();
    if (families.isEmpty() && !font.family().isEmpty()) {
        families.append(font.family());
    }
    const QString generic = GenericOf(font);
    if (!families.isEmpty() && !generic.isEmpty()) {
        families.append(generic);
    }
    return families;
}

struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
using Config = std::unique_ptr<FcConfig, ConfigDeleter>;

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

const FcChar8* Utf8(const QByteArray& text)
{
    return reinterpret_cast<const FcChar8*>(text.constData());
}

// A face's weight and slant as fontconfig gives them.
struct FaceStyle {
    int weight = 0;
    int slant = 0;
    bool operator==(const FaceStyle&) const = default;
};

// A whole number of the face's, as a pattern that names it matches it: none
// for a fraction or a range (a variable face's).
std::optional<int> WholeNumber(FcPattern* face, const char* object)
{
    FcValue value;
    if (FcPatternGet(face, object, 0, &value) != FcResultMatch) {
        return std::nullopt;
    }
    if (value.type == FcTypeInteger) {
        return value.u.i;
    }
    if (value.type == FcTypeDouble &&
        value.u.d == static_cast<double>(static_cast<int>(value.u.d))) {
        return static_cast<int>(value.u.d);
    }
    return std::nullopt;
}

std::optional<FaceStyle> StyleOfFace(FcPattern* face)
{
    const std::optional<int> weight = WholeNumber(face, FC_WEIGHT);
    const std::optional<int> slant = WholeNumber(face, FC_SLANT);
    if (!weight || !slant) {
        return std::nullopt;
    }
    return FaceStyle{*weight, *slant};
}

// The weight and slant of the faces Qt takes for a request where its family
// has one of exactly those: regular or bold, upright, italic or oblique, which
// Qt and fontconfig name alike. None for any other weight.
std::optional<FaceStyle> StyleOf(const FontRequest& request)
{
    FaceStyle style;
    if (request.weight == QFont::Normal) {
        style.weight = FC_WEIGHT_REGULAR;
    } else if (request.weight == QFont::Bold) {
        style.weight = FC_WEIGHT_BOLD;
    } else {
        return std::nullopt;
    }
    switch (request.style) {
    case QFont::StyleNormal:
        style.slant = FC_SLANT_ROMAN;
        break;
    case QFont::StyleItalic:
        style.slant = FC_SLANT_ITALIC;
        break;
    case QFont::StyleOblique:
        style.slant = FC_SLANT_OBLIQUE;
        break;
    }
    return style;
}

// Whether two names can be the same but for case: false where their first
// letters are ASCII and differ even so, which settles most comparisons.
bool MayBeSame(const FcChar8* one, const FcChar8* other)
{
    const auto fold = [](FcChar8 c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int{c}; };
    return one[0] >= 0x80 || other[0] >= 0x80 || fold(one[0]) == fold(other[0]);
}

// Which of these family names some installed face carries (ignoring case, as Qt
// does), in one pass over the installed faces; with styles, also the weight
// and slant of each face of each family.
QList<bool> Installed(FcFontSet* fonts, const QStringList& families,
                      QList<QList<FaceStyle>>* styles = nullptr)
{
    QList<QByteArray> names;
    for (const QString& family : families) {
        names.append(family.toUtf8());
    }
    QList<bool> installed(families.size(), false);
    if (styles != nullptr) {
        styles->fill({}, families.size());
    }
    qsizetype missing = families.size();
    for (int i = 0; i < fonts->nfont && (missing > 0 || styles != nullptr); ++i) {
        FcChar8* value = nullptr;
        for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &value) == FcResultMatch;
             ++k) {
            for (qsizetype n = 0; n < names.size(); ++n) {
                if ((styles != nullptr || !installed[n]) && MayBeSame(value, Utf8(names[n])) &&
                    FcStrCmpIgnoreCase(value, Utf8(names[n])) == 0) {
                    if (!installed[n]) {
                        installed[n] = true;
                        --missing;
                    }
                    if (styles != nullptr) {
                        if (const std::optional<FaceStyle> style = StyleOfFace(fonts->fonts[i])) {
                            (*styles)[n].append(*style);
                        }
                    }
                }
            }
        }
    }
    return installed;
}

// A family name as fontconfig compares them: without case and blanks.
std::string Folded(const FcChar8* name)
{
    std::string folded;
    for (const FcChar8* c = name; *c != 0; ++c) {
        if (*c != ' ') {
            folded.push_back(static_cast<char>(*c >= 'A' && *c <= 'Z' ? *c - 'A' + 'a' : *c));
        }
    }
    return folded;
}

struct FontSetDeleter {
    void operator()(FcFontSet* fonts) const { FcFontSetDestroy(fonts); }
};
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;

// Whether the face matches the pattern on everything fontconfig ranks before
// the family, so that no face can rank above it there: the flags it is asked
// for (variable, scalable, colour) it has as asked, and nothing else of those
// (file, format, foundry, characters, PostScript name) is asked for.
bool BestBeforeTheFamily(FcPattern* pattern, FcPattern* face)
{
    for (const char* object : {FC_VARIABLE, FC_SCALABLE, FC_COLOR}) {
        FcBool asked = FcFalse;
        FcBool has = FcFalse;
        if (FcPatternGetBool(pattern, object, 0, &asked) == FcResultMatch && asked != FcDontCare &&
            FcPatternGetBool(face, object, 0, &has) == FcResultMatch && has != asked) {
            return false;
        }
    }
    FcValue value;
    for (const char* object :
         {FC_FILE, FC_FONTFORMAT, FC_FOUNDRY, FC_CHARSET, FC_POSTSCRIPT_NAME}) {
        if (FcPatternGet(pattern, object, 0, &value) == FcResultMatch) {
            return false;
        }
    }
    return true;
}

// The best face for the pattern among the faces of the families it names.
// fontconfig ranks a few properties first (BestBeforeTheFamily), then the
// families asked for, then the language, then the families its rules added:
// where that face is best on the first and covers the pattern's first
// language, no face of another family can beat it, so it is fontconfig's own
// choice among all installed faces. Otherwise none is returned.
Pattern MatchAmongNamedFamilies(FcConfig* config, FcFontSet* fonts, FcPattern* pattern)
{
    std::unordered_set<std::string> named;
    FcChar8* value = nullptr;
    for (int k = 0; FcPatternGetString(pattern, FC_FAMILY, k, &value) == FcResultMatch; ++k) {
        named.insert(Folded(value));
    }
    const FontSet candidates(FcFontSetCreate());
    if (!candidates) {
        return nullptr;
    }
    for (int i = 0; i < fonts->nfont; ++i) {
        for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &value) == FcResultMatch;
             ++k) {
            if (named.count(Folded(value)) != 0) {
                FcPatternReference(fonts->fonts[i]);
                if (!FcFontSetAdd(candidates.get(), fonts->fonts[i])) {
                    FcPatternDestroy(fonts->fonts[i]);
                }
                break;
            }
        }
    }
    FcFontSet* sets[] = {candidates.get()};
    FcResult result = FcResultNoMatch;
    Pattern match(FcFontSetMatch(config, sets, 1, pattern, &result));
    FcChar8* language = nullptr;
    FcLangSet* covered = nullptr;
    if (!match || !BestBeforeTheFamily(pattern, match.get()) ||
        FcPatternGetString(pattern, FC_LANG, 0, &language) != FcResultMatch ||
        FcPatternGetLangSet(match.get(), FC_LANG, 0, &covered) != FcResultMatch ||
        FcLangSetHasLang(covered, language) != FcLangEqual) {
        return nullptr;
    }
    return match;
}

struct FamilyFace {
    QString family;
    std::optional<FaceStyle> style;
};

// The family fontconfig draws with when this one is asked for, as Qt asks for
// it (with the generic family, if any, as a weak second): for a family that is
// not installed, or a generic name such as "Sans Serif", the one its rules and
// the installed faces lead to; and the weight and slant of the face it gives,
// where they are whole numbers. Empty where nothing matches.
FamilyFace FamilyInPlaceOf(FcConfig* config, FcFontSet* fonts, const QString& family,
                           const QString& generic)
{
    const Pattern pattern(FcPatternCreate());
    if (!pattern) {
        return {};
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, Utf8(family.toUtf8()));
    if (!generic.isEmpty()) {
        FcValue value;
        value.type = FcTypeString;
        const QByteArray name = generic.toUtf8();
        value.u.s = Utf8(name);
        FcPatternAddWeak(pattern.get(), FC_FAMILY, value, FcTrue);
    }
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    // Ranking every installed face is most of the work: first only the faces
    // of the families the rules name.
    Pattern match = MatchAmongNamedFamilies(config, fonts, pattern.get());
    if (!match) {
        FcResult result = FcResultNoMatch;
        match.reset(FcFontMatch(config, pattern.get(), &result));
    }
    FcChar8* value = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &value) != FcResultMatch) {
        return {};
    }
    return {QString::fromUtf8(reinterpret_cast<const char*>(value)), StyleOfFace(match.get())};
}

// Up to this many installed faces, Qt lists them all for fewer instructions
// than finding the faces and building the list a second time take (on Debian
// 12 under callgrind, selecting against keeping the set-up whole: 1.4 M more
// at 12 faces, 0.2 M less at 34, 2.5 M less at 69, 6.7 M less at 139;
// docs/performance.md), so the set-up is kept whole.
constexpr int FewFaces = 32;

// A family kept, and of it the weights and slants kept, or all its faces.
struct KeptFamily {
    QString family;
    QList<FaceStyle> styles;
    bool whole = false;
};

// Keeps the faces of this style of the family, or where the style is none,
// all of its faces.
void Keep(QList<KeptFamily>& kept, const QString& family, std::optional<FaceStyle> style)
{
    auto entry = std::find_if(kept.begin(), kept.end(), [&](const KeptFamily& known) {
        return known.family.compare(family, Qt::CaseInsensitive) == 0;
    });
    if (entry == kept.end()) {
        kept.append({family, {}, false});
        entry = kept.end() - 1;
    }
    if (!style) {
        entry->whole = true;
    } else if (!entry->styles.contains(*style)) {
        entry->styles.append(*style);
    }
}

// A fontconfig set-up that lists only these faces.
QByteArray SelectionOf(const QList<KeptFamily>& kept)
{
    QByteArray accepted;
    for (const KeptFamily& entry : kept) {
        const QByteArray family = "<patelt name=\"family\"><string>" +
                                  entry.family.toHtmlEscaped().toUtf8() + "</string></patelt>";
        if (entry.whole) {
            accepted += "<pattern>" + family + "</pattern>";
            continue;
        }
        for (const FaceStyle& style : entry.styles) {
            accepted += "<pattern>" + family + "<patelt name=\"weight\"><int>" +
                        QByteArray::number(style.weight) +
                        "</int></patelt><patelt name=\"slant\"><int>" +
                        QByteArray::number(style.slant) + "</int></patelt></pattern>";
        }
    }
    return "<?xml version=\"1.0\"?>\n<fontconfig><selectfont><acceptfont>" + accepted +
           "</acceptfont><rejectfont><pattern/></rejectfont></selectfont></fontconfig>\n";
}

} // namespace

QList<FontRequest> FamiliesAskedFor(std::span<const QFont> windowFonts)
{
    QList<FontRequest> requests;
    const auto add = [&requests](const QFont& font) {
        const FontRequest request{FamiliesOf(font), font.weight(), font.style()};
        if (!request.families.isEmpty() && !requests.contains(request)) {
            requests.append(request);
        }
    };
    for (const QFont& font : windowFonts) {
        add(font);
    }
    // The message boxes: their text, their buttons, and the desktop's general font.
    add(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    add(QApplication::font());
    for (const char* kind : {"QMessageBox", "QMessageBoxLabel", "QLabel", "QPushButton"}) {
        add(QApplication::font(kind));
    }
    return requests;
}

int KeepOnlyFacesFor(const QList<FontRequest>& requests)
{
    // The desktop's own set-up, as fontconfig would load it for Qt.
    Config config(FcInitLoadConfig());
    if (!config || !FcConfigBuildFonts(config.get())) {
        return -1;
    }
    FcFontSet* fonts = FcConfigGetFonts(config.get(), FcSetSystem);
    if (fonts == nullptr) {
        return -1;
    }
    // Few faces: the set-up as loaded, which Qt would otherwise load again.
    if (fonts->nfont <= FewFaces) {
        return FcConfigSetCurrent(config.get()) ? fonts->nfont : -1;
    }

    QStringList asked;
    for (const FontRequest& request : requests) {
        for (const QString& family : request.families) {
            if (!asked.contains(family)) {
                asked.append(family);
            }
        }
    }
    QList<QList<FaceStyle>> styles;
    const QList<bool> installed = Installed(fonts, asked, &styles);

    QList<KeptFamily> kept;
    for (const FontRequest& request : requests) {
        // Qt draws with the first family of the request that is installed, and
        // of it with the face of the request's weight and style, where there is
        // one of exactly those.
        const std::optional<FaceStyle> style = StyleOf(request);
        bool found = false;
        for (const QString& family : request.families) {
            const qsizetype k = asked.indexOf(family);
            if (installed[k]) {
                found = true;
                Keep(kept, family, style && styles[k].contains(*style) ? style : std::nullopt);
                break;
            }
        }
        if (!found && !request.families.isEmpty()) {
            const QString generic =
                IsGeneric(request.families.last()) ? request.families.last() : QString();
            const FamilyFace inPlace =
                FamilyInPlaceOf(config.get(), fonts, request.families.first(), generic);
            if (!inPlace.family.isEmpty()) {
                Keep(kept, inPlace.family, style && inPlace.style == style ? style : std::nullopt);
            }
        }
    }

    // The same set-up again, listing only those faces.
    if (kept.isEmpty() ||
        !FcConfigParseAndLoadFromMemory(config.get(), Utf8(SelectionOf(kept)), FcTrue) ||
        !FcConfigBuildFonts(config.get())) {
        return -1;
    }
    FcFontSet* selected = FcConfigGetFonts(config.get(), FcSetSystem);
    if (selected == nullptr || selected->nfont == 0 || !FcConfigSetCurrent(config.get())) {
        return -1;
    }
    // fontconfig holds the set-up now; Qt releases it at exit.
    return selected->nfont;
}

void AskForInstalledFamilies(std::span<QFont> windowFonts)
{
    FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    if (fonts == nullptr) {
        return;
    }
    for (QFont& font : windowFonts) {
        const QStringList families = font.families();
        // Where none is installed, Qt's search for a stand-in is the desktop's.
        const qsizetype first = Installed(fonts, families).indexOf(true);
        if (first > 0) {
            font.setFamilies(families.mid(first));
        }
    }
}

} // namespace tintara
