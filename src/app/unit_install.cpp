#include "app/unit_install.h"

#include "app/quiet_exit.h"
#include "app/startup_preparation.h"
#include "app/window_shape.h"
#include "system/files.h"
#include "classlib/params.h"

namespace portico {

std::string SkinFolder;
std::string SkinFileName;
std::string VersionText;
std::string LaunchUrl;
TSkin* Skin = nullptr;
TFormInstall* FormInstall = nullptr;
TStartupPreparation* StartupPreparation = nullptr;
TAccessibilityStarter AccessibilityStarter = &StartAccessibility;

namespace {
// Ends the work ahead once the skin is loaded and the window shaped, or
// loading gave up: nothing prepared is needed then, and the memory kept
// for it goes before the window's own copy of the frame is made.
class TEndPreparation {
 public:
  explicit TEndPreparation(TStartupPreparation* preparation) : preparation_(preparation) {}
  ~TEndPreparation() {
    if (preparation_) preparation_->Finish();
  }
  TEndPreparation(const TEndPreparation&) = delete;
  TEndPreparation& operator=(const TEndPreparation&) = delete;

 private:
  TStartupPreparation* preparation_;
};
}  // namespace

TFormInstall::TFormInstall(TApplication* owner) : TForm(owner) {
  Caption = FormInstallCaption;
  BorderStyle = TBorderStyle::bsNone;
  Position = TPosition::poScreenCenter;
  Left = 458;
  Top = 145;
  Width = 664;
  Height = 641;
  KeyPreview = true;
  OnKeyPress = [this](TObject* sender, char& key) { FormKeyPress(sender, key); };
  OnKeyDown = [this](TObject* sender, uint16_t& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnKeyUp = [this](TObject* sender, uint16_t& key, TShiftState shift) { FormKeyUp(sender, key, shift); };
  OnShown = [this](TObject* sender) { FormShown(sender); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
  OnScaleChange = [this](TObject* sender, int factor, const TRect& suggested) {
    FormScaleChange(sender, factor, suggested);
  };
  ImageMain.SetBounds(16, 16, 209, 273);
  ImageMain.AutoSize = true;
  AddControl(&ImageMain);

  ModalResult = mrYes;
  try {
    if (LoadLauncherSettings()) {
      DoubleBuffered = true;
      AutoSize = true;
      AdjustSize();
    }
  } catch (...) {
    // The form never becomes the main form; its skin goes with it.
    FormDestroy(this);
    throw;
  }
}

bool UsableDescriptionName(const std::string& name) {
  // A rooted name is refused before it is joined to the skin folder:
  // the system's own path rules could otherwise make ".\C:\x" into "C:\x".
  return !name.empty() && !IsRootedName(name) && FileExists(LauncherSkinFolder + name);
}

bool TFormInstall::LoadLauncherSettings() {
  // No taskbar entry: every top-level window of ours asks the window
  // manager to skip the taskbar and pager.
  Application()->ShowMainForm = false;
  SkinFolder = LauncherSkinFolder;
  bool ok = false;
  if (ParamCount() == 2) {
    SkinFileName = ParamStr(1);
    VersionText = ParamStr(2);
    ok = UsableDescriptionName(SkinFileName);
    if (!ok) SayWhyNotShown(DescriptionNotFound(SkinFolder, ParamStr(1)));
  } else {
    SayWhyNotShown(WrongArgumentCount(ParamCount()));
  }
  if (!ok) {
    Application()->Terminate();
    return false;
  }
  {
    TIniFile ini(SkinFolder + SkinFileName);
    ReadLauncherSettings(ini);
    AccessibleNames = TAccessibilityNames(ini, SkinFileName);
  }
  return CreateSkin();
}

bool TFormInstall::CreateSkin() {
  {
    TStartupPreparation* const ahead = StartupPreparation;
    const TEndPreparation end_preparation(ahead);
    // Only what the controls draw is kept, before the mask is read:
    // start-up's peak of memory is lower then.
    Skin = new TSkin(SkinFolder, SkinFileName, 0, 0, this, &ImageMain, SkinButtonClick, nullptr,
                     ahead ? &ahead->Images() : nullptr, Application()->Ws().ScaleFactor(),
                     TSkinPixels::OnlyDrawn);
    if (!Skin->FindButton(InstallButtonName) || !Skin->FindButton(ExitButtonName)) {
      SayWhyNotShown(RequiredControlsMissing(*Skin, SkinFileName));
      Application()->Terminate();
      return false;
    }
    ApplyWindowShape(*Skin, MaskKeyColor, ahead ? &ahead->Masks() : nullptr);
  }
  // The window manager maps the window while the captions are drawn.
  AutoSize = true;
  ShowAhead();
  SetVersionCaption(Skin);
  Skin->DrawAllButtons();
  Application()->ShowMainForm = true;
  return true;
}

void TFormInstall::FormKeyPress(TObject*, char& key) {
  if (key == 27) Close();
}

void TFormInstall::FormKeyDown(TObject*, uint16_t& key, TShiftState shift) {
  if (Skin) Skin->KeyDown(static_cast<VirtualKey>(key), (shift & ssShift) != 0);
}

void TFormInstall::FormKeyUp(TObject*, uint16_t& key, TShiftState shift) {
  if (Skin) Skin->KeyUp(static_cast<VirtualKey>(key), (shift & ssShift) != 0);
}

void TFormInstall::FormShown(TObject*) {
  // Not before: the first pixel waits for nothing of it.
  if (Accessible || !Skin) return;
  Accessible = std::make_unique<TAccessibleLauncher>(*this, ImageMain, *Skin, AccessibleNames, VersionText);
  told_active_ = Accessible->Active();
  if (AccessibilityStarter) AccessibilityService = AccessibilityStarter(*Accessible, Application()->Ws());
  if (!AccessibilityService) return;
  Skin->OnFocusChange = [this](TSkin*) {
    if (AccessibilityService) AccessibilityService->FocusChanged();
  };
  OnActiveChange = [this](TObject*) {
    if (!AccessibilityService || Accessible->Active() == told_active_) return;
    told_active_ = !told_active_;
    AccessibilityService->ActiveChanged();
  };
  OnBoundsChange = [this](TObject*) {
    if (AccessibilityService) AccessibilityService->BoundsChanged();
  };
}

void TFormInstall::FormScaleChange(TObject*, int factor, const TRect& suggested) {
  if (!Skin || Skin->Scale == factor) return;
  // The accessibility service reads the skin: it goes with it and comes
  // back for the new one.
  const bool served = Accessible != nullptr;
  FormDestroy(this);
  Skin = new TSkin(SkinFolder, SkinFileName, 0, 0, this, &ImageMain, SkinButtonClick, nullptr, nullptr,
                   factor, TSkinPixels::OnlyDrawn);
  ApplyWindowShape(*Skin, MaskKeyColor);
  SetVersionCaption(Skin);
  Skin->DrawAllButtons();
  AdjustSize();
  SetBounds(suggested.Left, suggested.Top, Width, Height);
  if (served) FormShown(this);
}

void TFormInstall::FormDestroy(TObject*) {
  // The service reads the window and its skin: it goes first.
  OnActiveChange = nullptr;
  OnBoundsChange = nullptr;
  AccessibilityService.reset();
  Accessible.reset();
  if (Skin) {
    delete Skin;
    Skin = nullptr;
  }
}

int RunPortico(TApplication& app, TStartupPreparation* preparation) {
  StartupPreparation = preparation;
  try {
    app.Initialize();
    app.CreateForm(FormInstall);
    app.Run();
  } catch (const std::exception& e) {
    app.ShowException(e);
  } catch (...) {
    app.ShowException(std::string());
  }
  StartupPreparation = nullptr;
  int code = app.MainForm() && app.MainForm()->ModalResult == mrNo ? 1 : 0;
  app.DestroyForms();
  FormInstall = nullptr;
  return code;
}

}  // namespace portico
