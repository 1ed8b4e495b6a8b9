#include "skintool/skin_check.h"

#include "app/quiet_exit.h"
#include "app/unit_install.h"
#include "system/files.h"
#include "skintool/check_steps.h"
#include "skintool/names.h"

namespace portico {

namespace {
// The description itself: the launcher ends quietly when it is not a
// regular file, and sees an empty skin when it cannot be read.
bool CheckDescriptionFile(const std::string& path, TFindingList& out) {
  // The launcher is given the name within the folder, and refuses a rooted one.
  const std::string name = FileNameOf(path);
  if (IsRootedName(name)) {
    out.Error(0, "description-missing", DescriptionNotFound(LauncherSkinFolder, name));
    return false;
  }
  const std::string resolved = ResolvePath(path);
  const TFileBytes probe = ReadRegularFile(resolved, 0, TOverLimit::Cut);
  switch (probe.Status) {
    case TReadStatus::Ok:
    case TReadStatus::TooLarge:
      return true;
    case TReadStatus::NotRegular:
      out.Error(0, "description-missing",
                "the description is not a file; the launcher would not start");
      return false;
    case TReadStatus::Missing:
      if (FileExists(resolved)) break;
      out.Error(0, "description-missing", "no such description file; the launcher would not start");
      return false;
    case TReadStatus::ReadError:
      break;
  }
  out.Error(
      0, "description-unreadable",
      "the description cannot be read (" + probe.Error + "); the launcher would see an empty skin");
  return false;
}

// The names of the controls the loader made, which [ACCESSIBILITY] keys.
std::vector<std::string> ControlNames(const TSkinProbe& probe) {
  std::vector<std::string> names;
  for (const TProbedLine& p : probe.Lines)
    if (p.Button) names.push_back(p.Button->Name);
  return names;
}

// Where the window's outline comes from, as the launcher builds it.
void ReadMask(TCheckInput& in) {
  const TSkinProbe& p = in.Probe;
  if (p.Ini.KeyLine("SCREEN", "Mask") == 0 || p.Ini.ReadString("SCREEN", "Mask", "").empty())
    return;
  in.Mask = CreateMaskRegion(p.Skin->MaskFile, MaskKeyColor, &in.MaskWhy);
}
}  // namespace

std::vector<TFinding> CheckSkin(const std::string& path, std::vector<std::string>* named_files,
                                const std::optional<TToolScreen>& screen) {
  TFindingList out;
  // The skin's files are taken as the launcher started in the description's
  // folder takes them: said when that is not the current folder.
  if (!DescriptionFolderOf(path).empty())
    out.Note(0, "description-folder",
             "checked as the launcher sees it when started in the description's folder: " +
                 CommandInDescriptionFolder("portico", path) +
                 " VERSION; started elsewhere it takes the skin's files from the folder it "
                 "starts in");
  if (named_files) *named_files = {ResolvePath(path)};
  if (!CheckDescriptionFile(path, out)) return out.Sorted();
  TSkinProbe probe(path);
  if (named_files) *named_files = probe.NamedFiles();
  probe.StartLikeLauncher("1.0");
  TCheckInput in{probe, FindUnreadLines(probe.Ini, ControlNames(probe)), std::nullopt, {}};
  in.Screen = screen;
  ReadMask(in);
  if (!CheckEncoding(in, out)) {
    // Nothing in the file can be read: only what the launcher does about it.
    CheckControlNames(in, out);
    return out.Sorted();
  }
  CheckUnreadLines(in, out);
  CheckImages(in, out);
  CheckScaledImages(in, out);
  CheckJpegColours(in, out);
  CheckMaskColours(in, out);
  CheckAlphaAgainstMask(in, out);
  CheckScreenSize(in, out);
  CheckControlLines(in, out);
  CheckControlNames(in, out);
  CheckLayout(in, out);
  CheckHitAreas(in, out);
  CheckCaptionContrast(in, out);
  CheckAccessibility(in, out);
  return out.Sorted();
}

}  // namespace portico
