// A skin loaded the way the launcher loads it, with what the loader
// decided along the way and where in the description each decision comes
// from. `check` and `preview` both start here.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classlib/ini_file.h"
#include "skin/skin.h"

namespace portico {

// One image the loader asked for: a [SCREEN] state image, or the arrow
// image of fixed name (Key empty).
struct TProbedImage {
  std::string Key;
  std::string Value;                 // as written in the description
  std::string Path;                  // as handed to LoadImageFile (skin folder + value)
  int Line = 0;                      // of the key; 0 when absent
  const TBitmap* Bitmap = nullptr;   // owned by the skin; null when absent
  std::optional<std::string> Error;  // the decoder's reason when it failed
};

// One [BUTTONPOS] key as the loader read it.
struct TProbedLine {
  std::string Key;
  std::string Value;
  int Line = 0;  // whose value was read (the first key of that name)
  ControlLine Scan;
  TLineSkip Skip = TLineSkip::None;
  const TSkinButton* Button = nullptr;  // owned by the skin; null when skipped
};

class TSkinProbe {
 public:
  // Loads the description at `path`; its folder is the skin folder. The
  // loader goes on past images it cannot decode, so that everything else
  // can still be looked at. At `scale` k the images are those the launcher
  // takes at screen scale k. Needs the global Application (headless will do).
  explicit TSkinProbe(const std::string& path, int scale = 1);

  // Gives the skin the launcher's start-up look: the version caption set
  // as the launcher sets it, and every control drawn into the frame.
  void StartLikeLauncher(const std::string& version);

  const std::string Path;      // as given
  const std::string Folder;    // with a trailing separator
  const std::string FileName;  // the name within the folder
  const TIniFile Ini;
  std::vector<TProbedImage> Images;
  std::vector<TProbedLine> Lines;
  std::unique_ptr<TSkin> Skin;

  // The image of a [SCREEN] key ("Normal", ...); null for other keys.
  const TProbedImage* Image(const std::string& key) const;
  // Every file the launcher reads for this skin, as resolved: the
  // description, the images (named or not yet there), the mask, and the
  // images drawn for high-DPI screens beside each (NAME@2x.EXT, there or not).
  std::vector<std::string> NamedFiles() const;
};

// The folder part of a path, separator included; "./" when there is none.
std::string SkinFolderOf(const std::string& path);

}  // namespace portico
