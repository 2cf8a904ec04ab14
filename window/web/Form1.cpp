#include "Form1.h"

#include "Look.h"

#include <algorithm>
#include <utility>

// The page library (Form1.js): everything that touches the page. Controls are
// known by the index of their record in the layout table; sizes are in CSS
// pixels of the window at full size.
extern "C" {
void tintara_form(const char* title, int width, int height, const char* back);
void tintara_shape(int index, const char* name, int left, int top, int width, int height,
                   const char* outline, const char* fill, int outlineWidth, const char* hatch,
                   int hatchSize);
void tintara_box(int index, const char* name, int left, int top, int width, int height, int click,
                 int doubleClick);
void tintara_button(int index, const char* name, int left, int top, int width, int height,
                    const char* text, const char* spoken, int click);
void tintara_arrow(int index, const double* points, int count, double size);
void tintara_label(int index, const char* name, int left, int top, int width, int height,
                   const char* text, int centred);
void tintara_style(int index, const char* back, const char* fore, const char* font);
void tintara_set_back(int index, tintara::ColorWord color, const char* css, const char* name,
                      int hole);
tintara::ColorWord tintara_back(int index);
void tintara_set_text(int index, const char* text);
void tintara_show(int index);
// These two wait for the page, the running handler suspended meanwhile.
int tintara_message_box(const char* text, const char* title, int yesNo);
void tintara_repaint();
double tintara_seconds_since_midnight();
void tintara_end(const char* text, const char* again);
void tintara_idle();
}

namespace tintara
{

namespace
{

// What the page says once the game has ended, where it cannot close itself.
constexpr const char* EndedText = "The game has ended.";
constexpr const char* AgainText = "Play again";

// The system colours of the window as CSS system colours, which follow the
// device's light or dark scheme and its forced colours. The button face and
// its text are the page's own properties (Form1.css), which the page may set
// to its background and text where an engine's pair does not read well.
constexpr std::array<std::pair<ColorWord, std::string_view>, 5> SystemColors = {{
    // A scroll bar's track: CSS names none, and the button face is the
    // nearest of its grey.
    {layout::ScrollBar, "var(--ButtonFace)"},
    // The text on an active caption bar: light on a dark bar, as selected
    // text is on its highlight.
    {layout::ActiveCaptionText, "HighlightText"},
    // The border of an inactive window, which the window fills itself with:
    // the page's own background.
    {layout::InactiveBorder, "Canvas"},
    {layout::ButtonFace, "var(--ButtonFace)"},
    {layout::ButtonText, "var(--ButtonText)"},
}};

// The events the page sends back, by their numbers in the layout table.
constexpr int Click = static_cast<int>(layout::Event::Click);
constexpr int DoubleClick = static_cast<int>(layout::Event::DoubleClick);

int Index(std::size_t index)
{
    return static_cast<int>(index);
}

} // namespace

std::string CssColor(ColorWord color)
{
    if ((color & 0x80000000U) != 0) {
        for (const auto& [word, css] : SystemColors) {
            if (word == color) {
                return std::string(css);
            }
        }
        return "Canvas";
    }
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string css = "#";
    // The word is 0x00BBGGRR: red first.
    for (const int shift : {0, 8, 16}) {
        const unsigned byte = (color >> shift) & 0xFFU;
        css += Digits[byte >> 4U];
        css += Digits[byte & 0xFU];
    }
    return css;
}

namespace
{

// Texts made as the program is compiled: a function writes one to a Writer,
// once to count its characters and once into an array of that size, which
// ends in a zero.
class Writer
{
public:
    constexpr explicit Writer(char* out = nullptr) : out_(out) {}

    constexpr Writer& operator<<(std::string_view text)
    {
        for (const char c : text) {
            Put(c);
        }
        return *this;
    }

    constexpr Writer& operator<<(int number)
    {
        if (number >= 10) {
            *this << number / 10;
        }
        Put(static_cast<char>('0' + number % 10));
        return *this;
    }

    [[nodiscard]] constexpr std::size_t Size() const { return size_; }

private:
    constexpr void Put(char c)
    {
        if (out_ != nullptr) {
            out_[size_] = c;
        }
        ++size_;
    }

    char* out_;
    std::size_t size_ = 0;
};

template <void (*Write)(Writer&)> constexpr std::size_t SizeOf()
{
    Writer counter;
    Write(counter);
    return counter.Size();
}

template <void (*Write)(Writer&)>
constexpr auto Made = [] {
    std::array<char, SizeOf<Write>() + 1> text{};
    Writer writer(text.data());
    Write(writer);
    return text;
}();

// The tile of the preview frame's crossing diagonals as an SVG path: a square
// of one CSS pixel for each pixel drawn, so that the browser scales the tile
// with the density as the other front ends do.
constexpr void WriteHatchPath(Writer& path)
{
    for (int y = 0; y < look::HatchSize; ++y) {
        for (int x = 0; x < look::HatchSize; ++x) {
            if (look::HatchPixel(x, y)) {
                path << "M" << x << " " << y << "h1v1h-1z";
            }
        }
    }
}

// A font of the window as a CSS font: slant, weight (every font of the window
// is bold), size in pixels, then the named face, its stand-ins of the same
// widths in order, and the browser's face of its generic family.
template <layout::Font Font> constexpr void WriteCssFont(Writer& css)
{
    constexpr layout::Face Face = layout::FaceOf(Font);
    css << (Face.italic ? "italic " : "") << "bold " << layout::PixelSize(Face.points) << "px \""
        << Face.named << "\"";
    for (const std::string_view name : Face.standIns) {
        if (!name.empty()) {
            css << ", \"" << name << "\"";
        }
    }
    if (!Face.generic.empty()) {
        css << ", " << Face.generic;
    }
}

// The layout table's names and texts, and the window's title, are literals,
// each followed by its terminating zero: the page reads them as they are.
constexpr bool EndsInZero(std::string_view text)
{
    return text.data()[text.size()] == '\0';
}
static_assert(EndsInZero(layout::Window.title) &&
                  std::all_of(layout::Controls.begin(), layout::Controls.end(),
                              [](const layout::Control& record) {
                                  return EndsInZero(record.name) && EndsInZero(record.text);
                              }),
              "the layout's texts end in a zero");

} // namespace

const char* CssFont(layout::Font font)
{
    switch (font) {
    case layout::Font::Cell:
        return Made<WriteCssFont<layout::Font::Cell>>.data();
    case layout::Font::Label:
        return Made<WriteCssFont<layout::Font::Label>>.data();
    case layout::Font::Counter:
        return Made<WriteCssFont<layout::Font::Counter>>.data();
    case layout::Font::Button:
        return Made<WriteCssFont<layout::Font::Button>>.data();
    case layout::Font::None:
        break;
    }
    return "";
}

void Form1::Create()
{
    tintara_form(layout::Window.title.data(), layout::Pixels(layout::Window.clientWidth),
                 layout::Pixels(layout::Window.clientHeight),
                 CssColor(layout::Window.back).c_str());

    for (const std::size_t i : layout::TabOrder) {
        const layout::Control& record = layout::Controls[i];
        const int left = layout::Pixels(record.left);
        const int top = layout::Pixels(record.top);
        const int width = layout::Pixels(record.width);
        const int height = layout::Pixels(record.height);
        const char* const name = record.name.data();
        switch (record.kind) {
        case layout::Kind::Shape:
            tintara_shape(Index(i), name, left, top, width, height, CssColor(record.fore).c_str(),
                          CssColor(record.back).c_str(), layout::ShapeOutline,
                          Made<WriteHatchPath>.data(), look::HatchSize);
            continue;
        case layout::Kind::PictureBox:
            tintara_box(Index(i), name, left, top, width, height, Click, DoubleClick);
            tintara_set_back(Index(i), record.back, CssColor(record.back).c_str(),
                             look::PictureBoxName(record.name, record.back).c_str(),
                             record.back == HoleColor ? 1 : 0);
            break;
        case layout::Kind::ArrowButton: {
            // The shared solid arrow, drawn as a shape: no symbol face needed.
            const Direction direction = layout::DirectionOf(record.action);
            tintara_button(Index(i), name, left, top, width, height, "",
                           std::string(form::ArrowName(direction)).c_str(), Click);
            std::array<double, 2 * look::UpArrow.size()> points{};
            const auto arrow = look::ArrowFor(direction);
            for (std::size_t p = 0; p < arrow.size(); ++p) {
                points[2 * p] = arrow[p].x;
                points[2 * p + 1] = arrow[p].y;
            }
            tintara_arrow(Index(i), points.data(), static_cast<int>(arrow.size()),
                          look::ArrowShare * std::min(width, height));
            break;
        }
        case layout::Kind::CommandButton:
            tintara_button(Index(i), name, left, top, width, height, record.text.data(), "", Click);
            break;
        case layout::Kind::Label:
            tintara_label(Index(i), name, left, top, width, height, record.text.data(),
                          record.align == layout::Align::Center ? 1 : 0);
            break;
        }
        // The cells carry their font though they never draw text.
        tintara_style(Index(i), CssColor(record.back).c_str(), CssColor(record.fore).c_str(),
                      CssFont(record.font));
    }

    Form_Load();
}

void Form1::Show()
{
    tintara_show(Index(layout::FirstFocus));
}

void Form1::HandlePageEvent(std::size_t index, layout::Event event)
{
    Deliver(index, event);
    // The handler has run to its end: the page may deliver the next event.
    tintara_idle();
}

std::size_t Form1::Cell(int k)
{
    return layout::CellRecords.at(static_cast<std::size_t>(k - 1));
}

ColorWord Form1::CellColor(int k) const
{
    return tintara_back(Index(Cell(k)));
}

void Form1::SetCellColor(int k, ColorWord color)
{
    const std::size_t index = Cell(k);
    tintara_set_back(Index(index), color, CssColor(color).c_str(),
                     look::PictureBoxName(layout::Controls[index].name, color).c_str(),
                     color == HoleColor ? 1 : 0);
}

void Form1::SetCounterText(std::string_view text)
{
    tintara_set_text(Index(layout::CounterRecord), std::string(text).c_str());
}

Answer Form1::MessageBox(std::string_view text, std::string_view title, Buttons buttons)
{
    const bool question = buttons == Buttons::YesNo;
    const int yes = tintara_message_box(std::string(text).c_str(), std::string(title).c_str(),
                                        question ? 1 : 0);
    if (!question) {
        return Answer::Ok;
    }
    return yes != 0 ? Answer::Yes : Answer::No;
}

void Form1::Repaint()
{
    tintara_repaint();
}

float Form1::SecondsSinceMidnight() const
{
    return static_cast<float>(tintara_seconds_since_midnight());
}

void Form1::EndProgram()
{
    // The form leaves the page at once; the handlers stop on the rules' word
    // and take no event after this one.
    MarkEnded();
    tintara_end(EndedText, AgainText);
}

} // namespace tintara
