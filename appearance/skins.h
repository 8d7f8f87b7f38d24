#pragma once
// The program's own skin engine. A skin is a small text file ("Dark.skin" in the
// "Skins" folder beside the program):
//
//   ; comment
//   Name=Dark
//   ControlBack=#1E1E1E     back colour of buttons, text and list controls
//   ControlText=#F0F0F0     text colour of text and list controls
//   PictureBack=#252526     back colour of picture boxes
//   Accent=#3A96DD          read, not used for painting
//   WindowBack=#252526      the window itself, labels, check boxes and frames
//   WindowText=#F0F0F0
//   DarkTitleBar=1          a dark title bar where Windows offers one
//
// Colours are #RRGGBB. Unknown keys are ignored so later skins stay readable.
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/forms/form.h"
#include "platform/system_info.h"

namespace norvale {

struct Skin {
  std::string Name;
  Color ControlBack = 0;
  Color ControlText = 0;
  Color PictureBack = 0;
  Color Accent = 0;
  std::optional<Color> WindowBack;
  std::optional<Color> WindowText;
  bool DarkTitleBar = false;
};

inline constexpr const char* kSkinsFolder = "Skins";
inline constexpr const char* kDefaultSkin = "Light";

// nullopt when a colour the skin needs is missing or malformed.
std::optional<Skin> ParseSkin(std::string_view text);
// The skin of that name from the program's "Skins" folder; nullopt without one,
// and the window keeps its designed look.
std::optional<Skin> LoadSkin(const FileSystem& fs, const std::string& name);
// "#RRGGBB" as the desktop's 0xBBGGRR.
std::optional<Color> ParseColor(std::string_view text);

// Paints buttons, text and list controls and picture boxes with the skin's
// colours, by type name. An error stops the painting of the later controls.
void ColorStandardControls(Form& window, Color back, Color text, Color picture, Color ignored);
// A skin label over every plain label, copied in the order Top, Left, Height,
// Width, Font, Caption, Visible, added to the window's SkinLabel1 array. Each
// copy follows its label from then on.
void OverlaySkinLabels(Form& window);
// The preferences window's variant: each label goes into the first of the
// arrays SkinLabel1 .. SkinLabel6 whose element 0 shares its container.
void OverlaySkinLabelsByContainer(Form& window);
// A plain rectangle over the whole window replaces any earlier region.
void ResetWindowRegion(Form& window);
// The skin's own part: the window's background, the plain controls' colours and
// the title bar.
void SkinWindow(Form& window, const Skin& skin);
// Colours, region (on version 6 and later), then the skin's own part; nothing
// stops the later steps.
void ApplySkin(Form& window, const Skin& skin, const SystemInfo& system);

}  // namespace norvale
