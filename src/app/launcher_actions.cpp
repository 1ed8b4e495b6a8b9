// The launcher's own settings and what a click on each named control does.
#include "app/unit_install.h"
#include "text/codepage.h"
#include "system/launch.h"

namespace portico {

const char* const ButtonNames[ButtonRoleCount] = {InstallButtonName, ExitButtonName, UrlButtonName,
                                                  VersionCaptionName};

bool ReadIniString(const TIniFile* ini, const std::string& section, const std::string& key,
                   std::string& value, const std::string& def) {
  if (ini) {
    value = ini->ReadString(section, key, "");
    if (!value.empty()) return true;
  }
  value = def;
  return false;
}

int IndexOfName(const std::string& text, const char* const* table, int count) {
  for (int i = 0; i < count; ++i)
    if (text == table[i]) return i;
  return -1;
}

void ReadLauncherSettings(const TIniFile& ini) {
  ReadIniString(&ini, "INFORMATION", "URL", LaunchUrl, "");
}

void SetVersionCaption(TSkin* skin) {
  skin->SetButtonCaption(VersionCaptionName, AnsiToWide(VersionText), 0, 10, -1, true);
}

void SkinButtonClick(TSkin*, TSkinButton* button) {
  switch (IndexOfName(button->Name, ButtonNames, ButtonRoleCount)) {
    case brInstall:
      FormInstall->ModalResult = mrYes;
      FormInstall->Close();
      break;
    case brExit:
      FormInstall->ModalResult = mrNo;
      FormInstall->Close();
      break;
    case brUrl:
      // Failures are not reported: the window simply stays.
      if (!LaunchUrl.empty()) OpenWithDesktop(LaunchUrl);
      break;
    default:
      break;
  }
}

}  // namespace portico
