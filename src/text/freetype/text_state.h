// What drawing text keeps between captions: the open faces (and
// fontconfig, once needed) and the rendered glyphs, which go together
// because the glyphs are keyed by their library's face ids.
#pragma once
#include "text/freetype/font_library.h"
#include "text/freetype/glyph_cache.h"

namespace portico {

class TTextState {
 public:
  TFontLibrary Fonts;
  TGlyphCache Glyphs;
};

}  // namespace portico
