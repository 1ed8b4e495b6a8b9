// The main window and the launcher's start-up, settings and actions.
#pragma once
#include <memory>
#include <string>

#include "access/accessible.h"
#include "app/accessibility_names.h"
#include "app/accessible_launcher.h"
#include "classlib/application.h"
#include "classlib/controls.h"
#include "classlib/ini_file.h"
#include "skin/skin.h"

namespace portico {

class TStartupPreparation;

constexpr int mrYes = 6;
constexpr int mrNo = 7;
// The mask colour that is cut away from the window: white.
constexpr TColor MaskKeyColor = 0xFFFFFF;
// The description and its images are named relative to this folder.
inline const std::string LauncherSkinFolder = ".\\";
// Whether the description named on the command line is one the launcher
// reads: not empty, not rooted, an existing regular file.
bool UsableDescriptionName(const std::string& name);
// The main window's title, by which tools outside find it.
inline constexpr const char* FormInstallCaption = "FormInstall";

class TFormInstall : public TForm {
 public:
  // Builds the window and runs the start-up checks; on bad input the
  // application is terminated and the window is never shown.
  explicit TFormInstall(TApplication* owner);

  void FormKeyPress(TObject* sender, char& key);
  // Tab, Shift+Tab, the arrows, Enter and Space go to the skin's keyboard.
  void FormKeyDown(TObject* sender, uint16_t& key, TShiftState shift);
  void FormKeyUp(TObject* sender, uint16_t& key, TShiftState shift);
  // Once the first frame is shown: the window is served to assistive
  // technologies.
  void FormShown(TObject* sender);
  void FormDestroy(TObject* sender);
  // The window went to a monitor of another scale: the skin is made again
  // at the new factor and the window placed where the system suggests.
  void FormScaleChange(TObject* sender, int factor, const TRect& suggested);
  bool LoadLauncherSettings();
  bool CreateSkin();

  TImage ImageMain;
  // What the window and its controls are announced as.
  TAccessibilityNames AccessibleNames;
  // The window as assistive technologies read it, and the service that
  // serves it (none where the platform has none); made once shown.
  std::unique_ptr<TAccessibleLauncher> Accessible;
  std::unique_ptr<TAccessibilityService> AccessibilityService;

 private:
  // Whether the window had the foreground when the service was last told.
  bool told_active_ = false;
};

// How the launcher starts its accessibility service: StartAccessibility,
// or a stand-in a test sets.
using TAccessibilityStarter = std::unique_ptr<TAccessibilityService> (*)(TAccessibleWindow& window,
                                                                         WindowSystem& windows);
extern TAccessibilityStarter AccessibilityStarter;

// Application state, set during start-up.
extern std::string SkinFolder;
extern std::string SkinFileName;
extern std::string VersionText;
extern std::string LaunchUrl;
extern TSkin* Skin;
extern TFormInstall* FormInstall;
// What was prepared ahead for the main form's skin: set by RunPortico
// while it runs, null without (the loader then does everything itself).
extern TStartupPreparation* StartupPreparation;

// The controls with fixed roles, by name; ButtonNames lists them in the
// order of their roles, which IndexOfName answers with.
inline constexpr const char* InstallButtonName = "Install";
inline constexpr const char* ExitButtonName = "Exit";
inline constexpr const char* UrlButtonName = "URL";
inline constexpr const char* VersionCaptionName = "VersionCaption";
enum TButtonRole { brInstall, brExit, brUrl, brVersionCaption, ButtonRoleCount };
extern const char* const ButtonNames[ButtonRoleCount];

// Reads a value; true only when a non-empty value came from the file.
bool ReadIniString(const TIniFile* ini, const std::string& section, const std::string& key,
                   std::string& value, const std::string& def);
// Index of the first entry equal to `text`, or -1.
int IndexOfName(const std::string& text, const char* const* table, int count);
// What a completed click on a control does.
void SkinButtonClick(TSkin* skin, TSkinButton* button);
// Reads [INFORMATION] from the description file.
void ReadLauncherSettings(const TIniFile& ini);
// Shows the version text on "VersionCaption".
void SetVersionCaption(TSkin* skin);

// The whole program on a given application object: start (taking what
// `preparation` prepared ahead, when given), run, clean up. Returns the
// process exit code.
int RunPortico(TApplication& app, TStartupPreparation* preparation = nullptr);

}  // namespace portico
