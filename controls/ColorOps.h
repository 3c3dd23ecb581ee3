#pragma once
// Colour arithmetic of the shaded shapes. Every argument is an RGB colour: a caller holding a system colour
// resolves it first (Canvas::Resolve), and one left unresolved raises std::logic_error. The channels are
// worked on in place (red & 0xFF, green & 0xFF00, blue & 0xFF0000, never shifted down), so that rounding and
// capping act on those in-place values; results are RGB colours with a zero top byte.

#include "base/Color.h"

namespace vendora {

// Per channel round((1 - weight) * a + weight * b), halves to even, masked to the channel's bits. Weights
// outside 0..1 are accepted and wrap each channel through the mask.
TColor MixColors(TColor a, TColor b, double weight);

// Per channel a + b, capped at the channel's maximum.
TColor AddColors(TColor a, TColor b);

// Per channel a - b, or 0 where a's channel is the smaller.
TColor SubtractColors(TColor a, TColor b);

// The colour a caption highlight is drawn in over a face: the midpoint of the face and the font colour
// pushed past white with the weight 75.
TColor CaptionHighlight(TColor face, TColor fontColor);

} // namespace vendora
