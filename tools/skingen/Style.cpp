#include "tools/skingen/Style.h"

namespace skingen {

namespace {

Style Make(const char* file, const char* title, bool dark, bool glossy, int radius, int formRadius, int border,
           int captionHeight, bool coloured, const char* accent, const char* bg, const char* face, const char* text,
           const char* window, const char* frame, const char* capTop, const char* capBottom, const char* capText,
           const char* selection) {
  Style s;
  s.file = file;
  s.title = title;
  s.dark = dark;
  s.glossy = glossy;
  s.radius = radius;
  s.formRadius = formRadius;
  s.border = border;
  s.captionHeight = captionHeight;
  s.colouredCaption = coloured;
  s.accent = QColor(accent);
  s.bg = QColor(bg);
  s.face = QColor(face);
  s.text = QColor(text);
  s.window = QColor(window);
  s.windowText = QColor(text);
  s.frame = QColor(frame);
  s.captionTop = QColor(capTop);
  s.captionBottom = QColor(capBottom);
  s.captionText = QColor(capText);
  s.selection = QColor(selection);
  s.selectionText = QColor("#FFFFFF");
  s.hint = dark ? QColor(window).lighter(130) : QColor("#FFFBE6");
  s.hintText = QColor(text);
  return s;
}

}  // namespace

const std::vector<Style>& Styles() {
  static const std::vector<Style> kStyles = {
      //    file               title          dark   gloss  rad form bord capH colour
      Make("ClassicBlue.skn", "Classic Blue", false, true, 3, 7, 4, 30, true, "#2F6FBF", "#ECEFF4", "#F6F8FB",
           "#1E2530", "#FFFFFF", "#8D99AB", "#4A8AD8", "#245A9E", "#FFFFFF", "#2F6FBF"),
      Make("FreshGreen.skn", "Fresh Green", false, false, 0, 0, 1, 30, false, "#23804F", "#F1F5F1", "#FBFDFB",
           "#1B2A1F", "#FFFFFF", "#9DB5A3", "#FBFDFB", "#FBFDFB", "#1B2A1F", "#23804F"),
      Make("DarkNight.skn", "Dark Night", true, false, 4, 8, 1, 32, false, "#4D94FF", "#24272C", "#363A42", "#E6E8EB",
           "#1B1D21", "#50565F", "#1A1C20", "#1A1C20", "#E6E8EB", "#2F6BD0"),
      Make("Graphite.skn", "Graphite", true, true, 0, 0, 3, 30, true, "#F08A2E", "#2E3033", "#4A4D52", "#EDEDED",
           "#222326", "#63676E", "#55585E", "#2A2C2F", "#FFFFFF", "#A8550C"),
      Make("Coral.skn", "Coral", false, true, 5, 9, 4, 30, true, "#C8453F", "#F7F1F0", "#FCF8F7", "#2B1F1E", "#FFFFFF",
           "#C2A9A6", "#DE655D", "#B13A34", "#FFFFFF", "#C1403A"),
      Make("Lavender.skn", "Lavender", false, false, 3, 6, 1, 30, false, "#6E4FA0", "#F3F0F8", "#FBFAFD", "#231C30",
           "#FFFFFF", "#B3A8C8", "#E8E1F3", "#E8E1F3", "#2D2140", "#6E4FA0"),
      Make("Ocean.skn", "Ocean", false, true, 0, 0, 3, 28, true, "#0F7C7C", "#EEF5F5", "#F7FBFB", "#14262A", "#FFFFFF",
           "#8FB3B5", "#179594", "#0A6161", "#FFFFFF", "#0F7575"),
      Make("Amber.skn", "Amber", false, false, 0, 0, 2, 30, false, "#A8661A", "#F8F3EA", "#FFFCF6", "#2E2416",
           "#FFFDF9", "#C9B48F", "#F1E6D1", "#F1E6D1", "#3A2C14", "#98590F"),
      Make("Midnight.skn", "Midnight", true, true, 4, 8, 3, 30, true, "#5AAEEB", "#1E2A3A", "#2E3F56", "#E3EAF2",
           "#152030", "#43597A", "#31527C", "#17283E", "#FFFFFF", "#2A669C"),
      Make("Silver.skn", "Silver", false, true, 3, 6, 4, 30, false, "#4F6479", "#E9EBEE", "#F6F7F8", "#1F252B",
           "#FFFFFF", "#9AA3AD", "#F7F8FA", "#C7CCD3", "#1F252B", "#4F6479"),
      Make("Sakura.skn", "Sakura", false, false, 6, 10, 1, 30, false, "#B83F72", "#FBF3F6", "#FFFAFC", "#2E1C24",
           "#FFFFFF", "#D6B3C2", "#F7E3EB", "#F7E3EB", "#3A1D2A", "#B0396B"),
  };
  return kStyles;
}

}  // namespace skingen
