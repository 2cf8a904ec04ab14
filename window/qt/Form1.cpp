#include "Form1.h"

#include "AppIcon.h"
#include "ArrowButton.h"
#include "Handlers.h"
#include "Layout.h"
#include "Look.h"
#include "PictureBox.h"
#include "SystemColors.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTime>

#include <algorithm>
#include <cstddef>

namespace tintara
{

namespace
{

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect PixelRect(int left, int top, int width, int height)
{
    return {layout::Pixels(left), layout::Pixels(top), layout::Pixels(width),
            layout::Pixels(height)};
}

QFont FontOf(layout::Font font)
{
    const layout::Face face = layout::FaceOf(font);
    QFont result;
    // The named face where the desktop has it; otherwise the first installed
    // of its stand-ins, which have its widths; only then the desktop's face
    // of its generic family.
    QStringList families = {FromView(face.named)};
    for (std::string_view standIn : face.standIns) {
        if (!standIn.empty()) {
            families.append(FromView(standIn));
        }
    }
    result.setFamilies(families);
    result.setStyleHint(face.generic == layout::Serif ? QFont::Serif : QFont::SansSerif);
    result.setPixelSize(layout::PixelSize(face.points));
    result.setBold(true);
    result.setItalic(face.italic);
    // Every text of the window is plain ASCII, which the face has: no
    // search for fallback faces for characters it might lack.
    result.setStyleStrategy(QFont::NoFontMerging);
    return result;
}

} // namespace

Form1::Fonts Form1::LayoutFonts()
{
    Fonts fonts;
    for (const layout::Font font : layout::Fonts) {
        fonts.at(static_cast<std::size_t>(font)) = FontOf(font);
    }
    return fonts;
}

Form1::Form1(QWidget* parent) : Form1(LayoutFonts(), parent) {}

Form1::Form1(const Fonts& fonts, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FromView(layout::Window.title));
    setWindowIcon(QIcon(QPixmap::fromImage(AppIconImage())));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(layout::Pixels(layout::Window.clientWidth), layout::Pixels(layout::Window.clientHeight));
    CreateControls(fonts);
    ApplyTextColors();
    controls_[layout::FirstFocus]->setFocus();
}

void Form1::CreateControls(const Fonts& fonts)
{
    QWidget* previous = nullptr;
    for (const std::size_t i : layout::TabOrder) {
        const layout::Control& record = layout::Controls[i];
        QWidget* control = nullptr;
        switch (record.kind) {
        case layout::Kind::Shape:
            // Drawn on the window's own surface, beneath the other controls.
            continue;
        case layout::Kind::PictureBox: {
            auto* box = new PictureBox(this);
            box->SetBackColor(record.back);
            box->OnDoubleClick([this, i] { Deliver(i, layout::Event::DoubleClick); });
            control = box;
            break;
        }
        case layout::Kind::ArrowButton:
        case layout::Kind::CommandButton: {
            QPushButton* button = nullptr;
            if (record.kind == layout::Kind::ArrowButton) {
                const Direction direction = layout::DirectionOf(record.action);
                button = new ArrowButton(direction, this);
                button->setAccessibleName(FromView(form::ArrowName(direction)));
            } else {
                button = new QPushButton(FromView(record.text), this);
            }
            // A focused button answers Enter as well as Space; none is the
            // window's default.
            button->setAutoDefault(true);
            connect(button, &QAbstractButton::clicked, this,
                    [this, i] { Deliver(i, layout::Event::Click); });
            control = button;
            break;
        }
        case layout::Kind::Label: {
            auto* label = new QLabel(FromView(record.text), this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(
                Qt::AlignTop |
                (record.align == layout::Align::Center ? Qt::AlignHCenter : Qt::AlignLeft));
            control = label;
            break;
        }
        }
        control->setObjectName(FromView(record.name));
        control->setGeometry(PixelRect(record.left, record.top, record.width, record.height));
        if (record.font != layout::Font::None) {
            control->setFont(fonts.at(static_cast<std::size_t>(record.font)));
        }
        // The controls are made in the tab order, which Tab walks.
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) {
                setTabOrder(previous, control);
            }
            previous = control;
        }
        controls_[i] = control;
    }
}

// The labels' text colours may be system colours, so they follow the palette
// whenever it changes; the window paints their backgrounds.
void Form1::ApplyTextColors()
{
    for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
        const layout::Control& record = layout::Controls[i];
        if (record.kind != layout::Kind::Label) {
            continue;
        }
        auto* label = static_cast<QLabel*>(controls_[i]);
        QPalette colors = palette();
        colors.setColor(QPalette::WindowText, ResolveColor(record.fore, palette()));
        label->setPalette(colors);
    }
}

QWidget* Form1::Control(std::string_view name) const
{
    const std::size_t record = layout::RecordOf(name);
    return record < controls_.size() ? controls_[record] : nullptr;
}

PictureBox* Form1::Cell(int k) const
{
    return static_cast<PictureBox*>(
        controls_[layout::CellRecords.at(static_cast<std::size_t>(k - 1))]);
}

QLabel* Form1::Counter() const
{
    return static_cast<QLabel*>(controls_[layout::CounterRecord]);
}

ColorWord Form1::CellColor(int k) const
{
    return Cell(k)->BackColor();
}

void Form1::SetCellColor(int k, ColorWord color)
{
    Cell(k)->SetBackColor(color);
}

void Form1::SetCounterText(std::string_view text)
{
    Counter()->setText(FromView(text));
}

Answer Form1::MessageBox(std::string_view text, std::string_view title, Buttons buttons)
{
    const bool question = buttons == Buttons::YesNo;
    QMessageBox box(QMessageBox::NoIcon, FromView(title), FromView(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    if (question) {
        box.setDefaultButton(QMessageBox::Yes);
        // Escape and the close control both count as No.
        box.setEscapeButton(QMessageBox::No);
    }
    const int pressed = box.exec();
    if (!question) {
        return Answer::Ok;
    }
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void Form1::Repaint()
{
    repaint();
}

float Form1::SecondsSinceMidnight() const
{
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0F;
}

void Form1::EndProgram()
{
    // The window goes at once, and the event loop ends with status 0 as soon
    // as the running handler has returned; the handlers stop on the rules'
    // word, and take no event after this one.
    MarkEnded();
    hide();
    QCoreApplication::quit();
}

void Form1::showEvent(QShowEvent* event)
{
    if (!loaded_) {
        loaded_ = true;
        Form_Load();
    }
    QWidget::showEvent(event);
}

void Form1::paintEvent(QPaintEvent* /*event*/)
{
    // The window paints the labels' backgrounds and the frame beneath the
    // swatches too: with no child that claims to paint all of itself, Qt
    // clips this painter to the plain rectangle it updates, not to the window
    // less 36 holes, which it would otherwise work out on every paint.
    QPainter painter(this);
    const QPalette& colors = palette();
    const QColor back = ResolveColor(layout::Window.back, colors);
    painter.fillRect(rect(), back);
    for (const layout::Control& record : layout::Controls) {
        if (record.kind == layout::Kind::Label) {
            painter.fillRect(PixelRect(record.left, record.top, record.width, record.height),
                             ResolveColor(record.back, colors));
        }
    }

    const layout::Control& shape = layout::Controls.front();
    const QRect frame = PixelRect(shape.left, shape.top, shape.width, shape.height);
    const int half = layout::ShapeOutline / 2;
    // The crossing diagonals as a texture of device-independent pixels, which
    // the painter scales with the screen as everything else (a pattern brush
    // keeps its eight device pixels a tile at any scale). The texture is
    // opaque, the window's colour between the lines, as they fall on it.
    QImage hatch(look::HatchSize, look::HatchSize, QImage::Format_RGB32);
    hatch.fill(back);
    const QRgb ink = ResolveColor(shape.back, colors).rgb();
    for (int y = 0; y < look::HatchSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(hatch.scanLine(y));
        for (int x = 0; x < look::HatchSize; ++x) {
            if (look::HatchPixel(x, y)) {
                line[x] = ink;
            }
        }
    }
    // Qt's raster engine hands a textured fill of more than 95 device rows to
    // a pool of threads, one per core, which it starts for the purpose: in
    // bands of 64 device rows the frame is filled on this thread.
    const QRect inside = frame.adjusted(half, half, -half, -half);
    const QBrush texture(hatch);
    const int band = std::max(1, static_cast<int>(64 / devicePixelRatioF()));
    for (int top = inside.top(); top <= inside.bottom(); top += band) {
        painter.fillRect(
            QRect(inside.left(), top, inside.width(), std::min(band, inside.bottom() + 1 - top)),
            texture);
    }
    painter.setPen(QPen(ResolveColor(shape.fore, colors), layout::ShapeOutline));
    painter.drawRect(inside);
}

void Form1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        ApplyTextColors();
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace tintara
