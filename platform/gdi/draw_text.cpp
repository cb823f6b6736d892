// DrawTextA: text laid out in a rectangle, broken into lines at line ends and (with
// DT_WORDBREAK) between words, each line aligned left, centred or right; '&' marks the next
// character with an underline unless DT_NOPREFIX. A word wider than the rectangle keeps a line
// of its own rather than being cut.
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/coordinate_mapping.h"
#include "platform/gdi/selected_font.h"
#include "platform/gdi/text_run.h"

namespace kwplatform {

namespace {

struct TextLine {
  std::string text;
  int prefixed = -1;  // byte of the character underlined by '&', or -1
};

// Removes the '&' prefixes of one line ("&&" is a plain '&').
TextLine StripPrefixes(const std::string& text) {
  TextLine line;
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '&' && i + 1 < text.size()) {
      i++;
      if (text[i] != '&') line.prefixed = static_cast<int>(line.text.size());
    }
    line.text += text[i];
  }
  return line;
}

class Layout {
 public:
  Layout(FontInstance& font, UINT format) : font_(font), format_(format) {}

  int Width(const std::string& text) {
    std::vector<uint32_t> characters = TextCharacters(font_, text.data(), static_cast<int>(text.size()));
    int width = 0;
    for (uint32_t character : characters) width += Advance(character, width);
    return width;
  }

  // Advances with tab stops every eight average character widths when tabs are expanded.
  std::vector<int> Advances(const std::vector<uint32_t>& characters) {
    std::vector<int> advances;
    int position = 0;
    for (uint32_t character : characters) {
      advances.push_back(Advance(character, position));
      position += advances.back();
    }
    return advances;
  }

  // The lines of a paragraph (text without line ends) broken to fit width.
  void Break(const std::string& paragraph, int width, std::vector<std::string>* lines) {
    if (!(format_ & DT_WORDBREAK)) {
      lines->push_back(paragraph);
      return;
    }
    std::string line;
    size_t position = 0;
    while (position < paragraph.size()) {
      // The next word with the spaces before it.
      size_t wordStart = paragraph.find_first_not_of(' ', position);
      if (wordStart == std::string::npos) wordStart = paragraph.size();
      size_t wordEnd = paragraph.find(' ', wordStart);
      if (wordEnd == std::string::npos) wordEnd = paragraph.size();
      const std::string candidate = line + paragraph.substr(position, wordEnd - position);
      if (!line.empty() && Width(candidate) > width && wordStart < wordEnd) {
        lines->push_back(line);
        line = paragraph.substr(wordStart, wordEnd - wordStart);
      } else {
        line = candidate;
      }
      position = wordEnd;
    }
    // Spaces at the end of a line take no room.
    line.erase(line.find_last_not_of(' ') + 1);
    lines->push_back(line);
  }

 private:
  int Advance(uint32_t character, int position) {
    if (character == '\t' && (format_ & DT_EXPANDTABS)) {
      const int stop = 8 * std::max(1, font_.Metrics().averageWidth);
      return stop - position % stop;
    }
    return font_.GlyphOf(character).advance;
  }

  FontInstance& font_;
  UINT format_;
};

// The text split at CR LF, LF or CR (not with DT_SINGLELINE).
std::vector<std::string> Paragraphs(const std::string& text, UINT format) {
  if (format & DT_SINGLELINE) return {text};
  std::vector<std::string> paragraphs(1);
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') i++;
      paragraphs.emplace_back();
    } else {
      paragraphs.back() += text[i];
    }
  }
  return paragraphs;
}

}  // namespace

}  // namespace kwplatform

using namespace kwplatform;

extern "C" {

int WINAPI DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rectangle, UINT format) {
  std::shared_ptr<DeviceContext> context = FindDeviceContext(dc);
  if (!context || !rectangle || (text == nullptr && count != 0)) return 0;
  SelectedFont font = FontOfContext(*context);
  if (!font.instance) return 0;
  DeviceContextState& state = context->state;
  const std::string all = count < 0 ? std::string(text) : std::string(text, static_cast<size_t>(count));
  const RECT box =
      LogicalRectangleToDevice(state, rectangle->left, rectangle->top, rectangle->right, rectangle->bottom);
  const FontMetrics& metrics = font.instance->Metrics();
  const int lineHeight = metrics.height + (format & DT_EXTERNALLEADING ? metrics.externalLeading : 0);

  Layout layout(*font.instance, format);
  std::vector<TextLine> lines;
  for (const std::string& paragraph : Paragraphs(all, format)) {
    std::vector<std::string> broken;
    // Prefixes are removed before breaking so that '&' takes no width.
    const TextLine stripped = format & DT_NOPREFIX ? TextLine{paragraph, -1} : StripPrefixes(paragraph);
    layout.Break(stripped.text, box.right - box.left, &broken);
    size_t offset = 0;
    for (const std::string& line : broken) {
      const size_t start = stripped.text.find(line, offset);
      TextLine entry{line, -1};
      if (stripped.prefixed >= 0 && start != std::string::npos && static_cast<size_t>(stripped.prefixed) >= start &&
          static_cast<size_t>(stripped.prefixed) < start + line.size())
        entry.prefixed = stripped.prefixed - static_cast<int>(start);
      if (start != std::string::npos) offset = start + line.size();
      lines.push_back(entry);
    }
  }

  int widest = 0;
  for (const TextLine& line : lines) widest = std::max(widest, layout.Width(line.text));
  const int height = lineHeight * static_cast<int>(lines.size());
  int top = box.top;
  if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) top = box.top + (box.bottom - box.top - height) / 2;
  if ((format & DT_SINGLELINE) && (format & DT_BOTTOM)) top = box.bottom - height;

  if (format & DT_CALCRECT) {
    const int width = lines.size() == 1 || widest > box.right - box.left ? widest : box.right - box.left;
    rectangle->right = rectangle->left + LogicalWidth(state, width);
    rectangle->bottom = rectangle->top + LogicalHeight(state, height);
    return LogicalHeight(state, height);
  }

  RasterTarget target(*context);
  TextRunStyle style;
  style.pixel = PixelFromColorRef(state.textColor);
  style.underline = font.underline;
  style.strikeOut = font.strikeOut;
  style.limit = format & DT_NOCLIP ? nullptr : &box;
  for (size_t i = 0; i < lines.size(); i++) {
    const TextLine& line = lines[i];
    const std::vector<uint32_t> characters =
        TextCharacters(*font.instance, line.text.data(), static_cast<int>(line.text.size()));
    const std::vector<int> advances = layout.Advances(characters);
    int width = 0;
    for (int advance : advances) width += advance;
    int left = box.left;
    if (format & DT_CENTER) left = box.left + (box.right - box.left - width) / 2;
    if (format & DT_RIGHT) left = box.right - width;
    const int lineTop = top + lineHeight * static_cast<int>(i);
    const int baseline = lineTop + metrics.ascent;
    if (state.backgroundMode == OPAQUE) {
      RECT cell = {left, lineTop, left + width, lineTop + metrics.height};
      if (style.limit) cell = IntersectRectangles(cell, box);
      target.FillRectangle(cell, PixelFromColorRef(state.backgroundColor), R2_COPYPEN);
    }
    style.advances = &advances;
    style.underlinedCharacter =
        line.prefixed < 0 ? -1
                          : static_cast<int>(TextCharacters(*font.instance, line.text.data(), line.prefixed).size());
    DrawTextRun(target, *font.instance, characters, left, baseline, style);
  }
  return LogicalHeight(state, height);
}

}  // extern "C"
