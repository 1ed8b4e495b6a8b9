// `portico-skin new WIDTHxHEIGHT [NAME]`: a skeleton skin in the current
// folder, the description and PNG guide images, that passes `check`.
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <utility>

#include "system/files.h"
#include "skintool/commands.h"
#include "skintool/png_file.h"
#include "skintool/skeleton_images.h"
#include "skintool/skeleton_layout.h"

namespace portico {

namespace {
constexpr size_t MaxNameLength = 64;

// A name that makes plain file names in the current folder: no folders,
// no option look-alike, nothing a file system or the description refuses.
bool UsableName(const std::string& name) {
  if (name.empty() || name.size() > MaxNameLength || name[0] == '-' || name[0] == '.') return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|;=[]").find(char(c)) != std::string_view::npos)
      return false;
  return true;
}

bool Exists(const std::string& name) {
  std::error_code ec;
  // As the launcher finds it, without regard to case; or anything at all by that name.
  return FileExists(name) ||
         std::filesystem::exists(std::filesystem::path(std::u8string(name.begin(), name.end())), ec);
}

std::vector<uint8_t> Opaque(const TBitmap& b) {
  return EncodePng(b, std::vector<uint8_t>(size_t(b.Width()) * size_t(b.Height()), 255));
}

int Usage(const std::string& why) { return UsageError("new", why); }
}  // namespace

const char* const NewHelp =
    "usage: portico-skin new WIDTHxHEIGHT [NAME]\n"
    "\n"
    "Writes a skeleton skin into the current folder: NAME.ini (NAME is \"skin\"\n"
    "when not given) with Install, Exit, URL and VersionCaption placed for a\n"
    "window of that size, and PNG guide images to paint over: NAME-normal,\n"
    "-over, -down, -disable (each control's outline and name) and NAME-mask.\n"
    "It never writes over a file. Sizes from 240x160 to 4096x4096.\n"
    "\n"
    "Exit status: 0 written, 2 not (a file by one of the names exists, or\n"
    "writing failed), 64 a usage error (a bad size or name).\n";

int RunNewCommand(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 2) return Usage("give the window's size, e.g. 520x340, and a name if you like");
  const std::optional<TPoint> size = ParseSkeletonSize(args[0]);
  if (!size) {
    const std::string why = "the size " + args[0] + " is not WIDTHxHEIGHT from " +
                            std::to_string(MinSkeletonWidth) + "x" + std::to_string(MinSkeletonHeight) +
                            " to " + std::to_string(MaxSkeletonSide) + "x" + std::to_string(MaxSkeletonSide);
    return Usage(why);
  }
  const std::string name = args.size() > 1 ? args[1] : "skin";
  if (!UsableName(name))
    return Usage("the name must be a plain file name (no folders, no leading '-' or '.'), 64 bytes at most");

  const TSkeletonFiles files = SkeletonFileNames(name);
  const std::string all[] = {files.Description, files.Normal, files.Over, files.Down, files.Disable, files.Mask};
  for (const std::string& f : all)
    if (Exists(f)) {
      std::fprintf(stderr, "portico-skin new: %s already exists; nothing was written (choose another name or folder)\n",
                   f.c_str());
      return 2;
    }

  const int32_t w = size->X, h = size->Y;
  const std::vector<TSkeletonControl> controls = LayOutSkeleton(w, h);
  const std::string text = SkeletonDescription(name, files, controls);
  const std::pair<const std::string*, std::vector<uint8_t>> outputs[] = {
      {&files.Normal, Opaque(DrawGuide(TGuideLook::Normal, w, h, name, controls))},
      {&files.Over, Opaque(DrawGuide(TGuideLook::Over, w, h, name, controls))},
      {&files.Down, Opaque(DrawGuide(TGuideLook::Down, w, h, name, controls))},
      {&files.Disable, Opaque(DrawGuide(TGuideLook::Disable, w, h, name, controls))},
      {&files.Mask, Opaque(DrawMaskGuide(w, h, controls))},
      {&files.Description, std::vector<uint8_t>(text.begin(), text.end())},
  };
  // The description last: a skeleton cut short by a full disk names no missing image.
  for (const auto& [file, bytes] : outputs) {
    std::string why;
    if (bytes.empty() || !WriteWholeFile(*file, bytes, why)) {
      std::fprintf(stderr, "portico-skin new: cannot write %s%s%s\n", file->c_str(), why.empty() ? "" : ": ",
                   why.c_str());
      return 2;
    }
    std::printf("wrote %s\n", file->c_str());
  }
  std::printf("paint over the guide images, then: portico-skin check %s\n", files.Description.c_str());
  return 0;
}

}  // namespace portico
