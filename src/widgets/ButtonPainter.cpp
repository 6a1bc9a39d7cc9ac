#include "widgets/ButtonPainter.h"

#include "imaging/PixelSurface.h"
#include "widgets/Themes.h"
#include "widgets/WindowRegion.h"

#include <algorithm>

namespace zr::widgets {

namespace {

constexpr Colour kEffectGrey = rgb(128, 128, 128);

void paintBackground(const ThemeContext& context, const ButtonProperties& p, const ButtonState& s) {
    // The focus marks belong to the theme's enabled variant, so a theme number without a
    // branch paints neither background nor marks.
    if (p.Theme < ThemeNumber::First || p.Theme > ThemeNumber::Last) {
        return;
    }
    if (!p.Enabled) {
        paintThemeLook(p.Theme, Look::Disabled, context);
        return;
    }
    // Each later look replaces (or adds to) the one before, so the last that applies shows.
    paintThemeLook(p.Theme, Look::Normal, context);
    if (s.IsHovering && !s.IsPressed) {
        paintThemeLook(p.Theme, Look::Hover, context);
    }
    if (s.HasFocus && !s.IsPressed) {
        paintThemeLook(p.Theme, Look::Focus, context);
    }
    if (s.IsPressed) {
        paintThemeLook(p.Theme, Look::Pressed, context);
    }
    if (s.HasFocus && p.FocusDottedRect) {
        paintFocusMarks(context.canvas, context.SW, context.SH);
    }
}

} // namespace

int offsetByte(std::int16_t offset) {
    return offset >= 0 && offset <= 255 ? offset : 0;
}

Point captionPosition(std::int32_t code, int SW, int SH, TextExtent text, int ox, int oy) {
    if (code < 1 || code > 9) {
        return {};
    }
    const double left = 1.0 + ox;
    const double centre = SW / 2.0 - text.width / 2.0 - 1.0 + ox;
    const double right = static_cast<double>(SW) - text.width - 3.0 + ox;
    const double top = oy;
    const double middle = SH / 2.0 - text.height / 2.0 - 1.0 + oy;
    const double bottom = static_cast<double>(SH) - text.height - 1.0 + oy;
    const int column = (code - 1) / 3;
    const int line = (code - 1) % 3;
    const double x = column == 0 ? left : column == 1 ? centre : right;
    const double y = line == 0 ? top : line == 1 ? middle : bottom;
    return {roundEven(x), roundEven(y)};
}

Point iconPosition(std::int32_t code, int SW, int SH, int imageWidth, int imageHeight,
                   int fittedWidth, int fittedHeight) {
    const int middle = roundEven(SH / 2.0 - imageHeight / 2.0);
    switch (code) {
    case 1:
        return {5, middle};
    case 2:
        return {roundEven(static_cast<double>(SW) - imageWidth - 5.0), middle};
    default:
        return {fittedWidth, fittedHeight};
    }
}

void paintFocusMarks(Canvas& canvas, int SW, int SH) {
    const int right = SW - 3;
    const int bottom = SH - 3;
    for (int x = 3; x <= SW - 5; x += 2) {
        canvas.point(x, 2, kBlack);
        canvas.point(x, bottom, kBlack);
    }
    for (int y = 3; y <= SH - 5; y += 2) {
        canvas.point(2, y, kBlack);
        canvas.point(right, y, kBlack);
    }
}

void paintIcon(Canvas& canvas, int SW, int SH, const ButtonProperties& properties,
               IconLoader& icons) {
    const imaging::c32bppDIB* image = icons.load(properties.IconSource, SW);
    if (image == nullptr || properties.TransparencyICO == 0) {
        return;
    }
    std::int32_t fittedWidth = 0;
    std::int32_t fittedHeight = 0;
    image->ScaleImage(SW, SW, fittedWidth, fittedHeight, imaging::ScaleMode::FitNoEnlarge);
    const Point at = iconPosition(properties.IconAlignment, SW, SH, image->Width(), image->Height(),
                                  fittedWidth, fittedHeight);
    // The image is composited at its own size onto a clear layer at the chosen opacity; the
    // layer then goes over the button.
    imaging::PixelSurface layer(image->Width(), image->Height());
    if (layer.isEmpty()) {
        return;
    }
    std::int32_t width = 0;
    if (image->Render(&layer, 0, 0, width, 0, properties.TransparencyICO)) {
        canvas.image(at.x, at.y, layer);
    }
}

void paintCaption(Canvas& canvas, int SW, int SH, const ButtonProperties& properties,
                  bool enabled) {
    const std::string& text = properties.Caption;
    const ButtonFont& font = properties.Font;
    const TextExtent extent = canvas.textExtent(text, font);
    const Point at = captionPosition(properties.CaptionAlignment, SW, SH, extent,
                                     offsetByte(properties.CaptionOffsetX),
                                     offsetByte(properties.CaptionOffsetY));
    const int x = at.x;
    const int y = at.y;
    if (!enabled) {
        canvas.text(x, y, text, font, properties.CaptionDisableColor);
        return;
    }
    const Colour fore = properties.ForeColor;
    const Colour effect = properties.CaptionEffectColor;
    switch (properties.CaptionEffect) {
    case 1:
        break;
    case 2:
        canvas.text(x - 1, y - 1, text, font, effect);
        canvas.text(x + 1, y + 1, text, font, kEffectGrey);
        break;
    case 3:
        canvas.text(x + 1, y + 1, text, font, effect);
        canvas.text(x - 1, y, text, font, kEffectGrey);
        break;
    case 4:
        canvas.text(x + 1, y, text, font, effect);
        canvas.text(x - 1, y, text, font, effect);
        canvas.text(x, y - 1, text, font, effect);
        canvas.text(x, y + 1, text, font, effect);
        break;
    case 5:
        canvas.text(x + offsetByte(properties.ShadowOffsetX),
                    y + offsetByte(properties.ShadowOffsetY), text, font, effect);
        break;
    default:
        return;
    }
    canvas.text(x, y, text, font, fore);
}

void PaintButton(Canvas& canvas, int SW, int SH, const ButtonProperties& properties,
                 const ButtonState& state, IconLoader* icons) {
    if (SW <= 0 || SH <= 0) {
        return; // no pixel belongs to the control
    }
    const int RV = std::max(properties.RoundedValue, 1);
    canvas.setRegion(roundedRegion(SW, SH, RV - 1, RV - 1));
    const ThemeContext context{canvas, SW, SH, RV, properties};
    paintBackground(context, properties, state);
    if (properties.Icon && icons != nullptr) {
        paintIcon(canvas, SW, SH, properties, *icons);
    }
    paintCaption(canvas, SW, SH, properties, properties.Enabled);
}

} // namespace zr::widgets
