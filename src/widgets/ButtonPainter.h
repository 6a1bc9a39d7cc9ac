#pragma once

#include "widgets/ButtonProperties.h"
#include "widgets/Canvas.h"
#include "widgets/IconCache.h"

#include <cstdint>

namespace zr::widgets {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// The whole repaint of a button of SW × SH pixels: rounded window region, theme background in
// the look the state calls for, focus marks, icon (through `icons`, may be null), caption.
void PaintButton(Canvas& canvas, int SW, int SH, const ButtonProperties& properties,
                 const ButtonState& state, IconLoader* icons);

// A caption or shadow offset as the unsigned byte the painter takes it as; a value outside
// 0 .. 255 counts as 0, leaving the caption where its alignment puts it.
int offsetByte(std::int16_t offset);

// Top-left corner of the caption for alignment codes 1 to 9; (0, 0) for any other code.
Point captionPosition(std::int32_t code, int SW, int SH, TextExtent text, int ox, int oy);

// Where the icon goes for an alignment code, given the image size and the size ScaleImage
// fitted into SW × SW (used as the position by codes other than 1 and 2).
Point iconPosition(std::int32_t code, int SW, int SH, int imageWidth, int imageHeight,
                   int fittedWidth, int fittedHeight);

void paintFocusMarks(Canvas& canvas, int SW, int SH);
void paintIcon(Canvas& canvas, int SW, int SH, const ButtonProperties& properties,
               IconLoader& icons);
// `enabled` draws with the caption effect; disabled draws once in CaptionDisableColor.
void paintCaption(Canvas& canvas, int SW, int SH, const ButtonProperties& properties, bool enabled);

} // namespace zr::widgets
