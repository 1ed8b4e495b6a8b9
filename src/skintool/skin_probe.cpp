#include "skintool/skin_probe.h"

#include "app/quiet_exit.h"
#include "app/unit_install.h"
#include "skin/scaled_image.h"
#include "skintool/check_steps.h"
#include "system/files.h"

namespace portico {

namespace {
// Records what the loader reports.
class TRecorder : public TSkinLoadObserver {
 public:
  TRecorder(TSkinProbe& probe) : probe_(probe) {}

  void ImageLoaded(const std::string& key, const std::string& path,
                   const TBitmap* bitmap) override {
    Record(key, path).Bitmap = bitmap;
  }
  bool ContinueAfterImageError(const std::string& key, const std::string& path,
                               const EImageError& error) override {
    Record(key, path).Error = error.Reason();
    return true;
  }
  // Not said here: `check` finds these files itself (scaled-image-size),
  // and its findings are what `preview` shows too.
  void ScaledImageLeftOut(const std::string& /*key*/, const std::string& /*why*/) override {}
  void ControlLineRead(const std::string& key, const std::string& value, const ControlLine& scan,
                       TLineSkip skip, const TSkinButton* button) override {
    probe_.Lines.push_back(
        TProbedLine{key, value, probe_.Ini.KeyLine("BUTTONPOS", key), scan, skip, button});
  }

 private:
  TProbedImage& Record(const std::string& key, const std::string& path) {
    TProbedImage image;
    image.Key = key;
    image.Path = path;
    if (!key.empty()) {
      image.Value = probe_.Ini.ReadString("SCREEN", key, "");
      image.Line = probe_.Ini.KeyLine("SCREEN", key);
    }
    probe_.Images.push_back(std::move(image));
    return probe_.Images.back();
  }
  TSkinProbe& probe_;
};
}  // namespace

std::string SkinFolderOf(const std::string& path) {
  const std::string folder = DescriptionFolderOf(path);
  return folder.empty() ? "./" : folder;
}

TSkinProbe::TSkinProbe(const std::string& path, int scale)
    : Path(path), Folder(SkinFolderOf(path)), FileName(FileNameOf(path)), Ini(Folder + FileName) {
  TRecorder recorder(*this);
  Skin = std::make_unique<TSkin>(Folder, FileName, 0, 0, nullptr, nullptr, nullptr, &recorder,
                                 nullptr, scale);
}

void TSkinProbe::StartLikeLauncher(const std::string& version) {
  VersionText = version;
  SetVersionCaption(Skin.get());
  Skin->DrawAllButtons();
}

std::vector<std::string> TSkinProbe::NamedFiles() const {
  std::vector<std::string> files{ResolvePath(Folder + FileName)};
  for (const TProbedImage& image : Images)
    if (!image.Path.empty()) files.push_back(ResolvePath(image.Path));
  if (!Ini.ReadString("SCREEN", "Mask", "").empty()) files.push_back(ResolvePath(Skin->MaskFile));
  if (!Skin->AlphaFile.empty()) files.push_back(ResolvePath(Skin->AlphaFile));
  // The launcher on a high-DPI screen reads these in their place.
  const size_t drawn = files.size();
  for (size_t i = 1; i < drawn; ++i)
    for (int k : CheckedScales) files.push_back(ScaledImagePath(files[i], k));
  return files;
}

const TProbedImage* TSkinProbe::Image(const std::string& key) const {
  for (const TProbedImage& image : Images)
    if (!key.empty() && image.Key == key) return &image;
  return nullptr;
}

}  // namespace portico
