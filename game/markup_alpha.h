#pragma once
#include <cstddef>

// Rewrites the colours of a markup text in place: behind every "value=" the two alpha digits become
// `alpha` (clamped to 0..255), or with `whole` all eight digits become that alpha over black. A
// "value=" with fewer digits behind it than would be rewritten is left as it is: nothing is written
// past the text's end.
void set_markup_alpha(int alpha, char* text, size_t size, bool whole);
