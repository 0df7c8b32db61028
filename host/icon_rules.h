// Size rules of MakeIcon: which images become icons.
#pragma once

// Square images of 16, 32, 48, 72, 128 or 256 pixels (72, not 64).
constexpr bool IsIconSize(int width, int height) {
  return width == height &&
         (width == 16 || width == 32 || width == 48 || width == 72 || width == 128 || width == 256);
}

// One pixel of a 32-bit image turned opaque or transparent by the transparent colour, for images
// of fewer than 32 bits per pixel (red, green, blue compared; alpha 0 where they match).
constexpr unsigned char IconAlpha(unsigned red, unsigned green, unsigned blue,
                                  unsigned transparent) {
  return (red == (transparent & 0xFF) && green == ((transparent >> 8) & 0xFF) &&
          blue == ((transparent >> 16) & 0xFF))
             ? 0
             : 255;
}
