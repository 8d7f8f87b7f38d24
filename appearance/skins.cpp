#include "appearance/skins.h"

#include <cctype>

#include "platform/path.h"

namespace norvale {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The highest index of a control array, or -1 when it has no element.
int UpperBound(const Form& window, std::string_view name) {
  int upper = -1;
  for (const auto& c : window.Controls()) {
    if (c->Name() == name && c->Index() > upper) upper = c->Index();
  }
  return upper;
}

// The copy keeps following its label: a translation or a wider layout moves both.
void CopyOverlay(Form& window, Control& label, const std::string& array) {
  label.LayOver(window.Add<SkinLabel>(array, UpperBound(window, array) + 1));
}

bool IsPlainControl(const std::string& type) {
  return type == "Label" || type == "SkinLabel" || type == "CheckBox" || type == "OptionButton" ||
         type == "Frame";
}

}  // namespace

std::optional<Color> ParseColor(std::string_view text) {
  text = Trimmed(text);
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  int v[6];
  for (int i = 0; i < 6; ++i) {
    v[i] = Hex(text[static_cast<size_t>(i) + 1]);
    if (v[i] < 0) return std::nullopt;
  }
  const Color r = static_cast<Color>(v[0] * 16 + v[1]);
  const Color g = static_cast<Color>(v[2] * 16 + v[3]);
  const Color b = static_cast<Color>(v[4] * 16 + v[5]);
  return (b << 16) | (g << 8) | r;
}

std::optional<Skin> ParseSkin(std::string_view text) {
  if (text.size() > 64 * 1024) return std::nullopt;
  Skin skin;
  bool back = false, fore = false, picture = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trimmed(line.substr(0, eq));
    const std::string_view value = Trimmed(line.substr(eq + 1));
    const auto color = ParseColor(value);
    if (EqualsIgnoringCase(key, "Name")) {
      skin.Name = std::string(value);
    } else if (EqualsIgnoringCase(key, "DarkTitleBar")) {
      skin.DarkTitleBar = value == "1";
    } else if (EqualsIgnoringCase(key, "ControlBack")) {
      if (!color) return std::nullopt;
      skin.ControlBack = *color;
      back = true;
    } else if (EqualsIgnoringCase(key, "ControlText")) {
      if (!color) return std::nullopt;
      skin.ControlText = *color;
      fore = true;
    } else if (EqualsIgnoringCase(key, "PictureBack")) {
      if (!color) return std::nullopt;
      skin.PictureBack = *color;
      picture = true;
    } else if (EqualsIgnoringCase(key, "Accent")) {
      if (color) skin.Accent = *color;
    } else if (EqualsIgnoringCase(key, "WindowBack")) {
      skin.WindowBack = color;
    } else if (EqualsIgnoringCase(key, "WindowText")) {
      skin.WindowText = color;
    }
  }
  if (!back || !fore || !picture) return std::nullopt;
  return skin;
}

std::optional<Skin> LoadSkin(const FileSystem& fs, const std::string& name) {
  if (name.empty() || name.find_first_of("\\/:") != std::string::npos) return std::nullopt;
  const std::string path = JoinPath(JoinPath(fs.ProgramFolder(), kSkinsFolder), name + ".skin");
  try {
    return ParseSkin(fs.ReadAll(path));
  } catch (const FileError&) {
    return std::nullopt;
  }
}

void ColorStandardControls(Form& window, Color back, Color text, Color picture, Color) {
  try {
    // By index: painting may not add controls, but the loop must not rely on it.
    for (size_t i = 0; i < window.Controls().size(); ++i) {
      Control& c = *window.Controls()[i];
      const std::string& type = c.TypeName();
      if (type == "CommandButton") {
        c.SetColors(c.ForeColor(), back);
      } else if (type == "TextBox" || type == "ComboBox" || type == "FileListBox" ||
                 type == "DirListBox" || type == "DriveListBox" || type == "ListBox" ||
                 type == "ListView") {
        c.SetColors(text, back);
      } else if (type == "PictureBox") {
        c.SetColors(c.ForeColor(), picture);
      }
    }
  } catch (...) {
    // The later controls keep their look; the skin is applied all the same.
  }
}

void OverlaySkinLabels(Form& window) {
  const size_t count = window.Controls().size();
  for (size_t i = 0; i < count; ++i) {
    Control& c = *window.Controls()[i];
    if (c.TypeName() == "Label") CopyOverlay(window, c, "SkinLabel1");
  }
}

void OverlaySkinLabelsByContainer(Form& window) {
  const size_t count = window.Controls().size();
  for (size_t i = 0; i < count; ++i) {
    Control& c = *window.Controls()[i];
    if (c.TypeName() != "Label") continue;
    for (int a = 1; a <= 6; ++a) {
      const std::string array = "SkinLabel" + std::to_string(a);
      const Control* template_label = window.Find(array, 0);
      if (template_label && template_label->Container() == c.Container()) {
        CopyOverlay(window, c, array);
        break;
      }
    }
  }
}

void ResetWindowRegion(Form& window) {
  // No region at all is the plain rectangle of the whole window at every size;
  // one fixed at load would clip a window enlarged or maximized later.
  window.SetRegion(std::nullopt);
}

void SkinWindow(Form& window, const Skin& skin) {
  window.SetLook(skin.WindowText, skin.WindowBack, skin.DarkTitleBar);
  for (size_t i = 0; i < window.Controls().size(); ++i) {
    Control& c = *window.Controls()[i];
    if (IsPlainControl(c.TypeName())) c.SetColors(skin.WindowText, skin.WindowBack);
  }
}

void ApplySkin(Form& window, const Skin& skin, const SystemInfo& system) {
  ColorStandardControls(window, skin.ControlBack, skin.ControlText, skin.PictureBack, skin.Accent);
  try {
    if (IsVistaOrLater(system)) ResetWindowRegion(window);
  } catch (...) {
  }
  try {
    SkinWindow(window, skin);
  } catch (...) {
  }
}

}  // namespace norvale
