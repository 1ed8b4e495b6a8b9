// JPEG images stored in CMYK (or YCCK): the launcher makes them RGB by a
// plain formula and applies no colour profile, so their colours can come
// out far from what the designer's editor showed.
#include "image/image_file.h"
#include "image/image_format.h"
#include "image/jpeg_decoder.h"
#include "system/errors.h"
#include "skintool/check_steps.h"
#include "skintool/names.h"

namespace portico {

void CheckJpegColours(const TCheckInput& in, TFindingList& out) {
  for (const TProbedImage& image : in.Probe.Images) {
    if (image.Key.empty() || !image.Bitmap) continue;
    TJpegColour colour;
    try {
      const std::vector<uint8_t> bytes = ReadImageFileBytes(ResolvePath(image.Path));
      if (ImageFormatBySignature(bytes) != TImageFormat::Jpeg) continue;
      colour = ReadJpegColour(bytes);
    } catch (const EPlatformError&) {
      continue;  // decoded a moment ago; gone now, which the launcher would say
    }
    if (!colour.Cmyk) continue;
    out.Warn(image.Line, "jpeg-cmyk",
             image.Key + " image " + Quoted(image.Value) + " is a " +
                 (colour.Ycck ? "YCCK" : "CMYK") +
                 " JPEG: the launcher turns its inks into RGB by a plain formula" +
                 (colour.HasIccProfile
                      ? " and does not apply the colour profile it carries, so its colours differ "
                        "from what an editor that applies the profile shows"
                      : ", so its colours may differ from what your editor shows") +
                 "; save it as an RGB JPEG or PNG");
  }
}

}  // namespace portico
