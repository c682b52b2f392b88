// The pronunciation of the answer on screen: the question's own text in control 1103, or the
// pronouncing dictionary's codes shown as symbols or drawn as glyphs of the pronunciation image.
#include <QLabel>
#include <algorithm>

#include "database/records/column_field.h"
#include "platform/files/file_system.h"
#include "study/window/control_ids.h"
#include "study/sound/line_reader.h"
#include "study/sound/phoneme_codes.h"
#include "study/judging/text_compare.h"
#include "study/window/trans_dialog.h"

namespace study {

namespace {

constexpr size_t kMapLinePiece = 1024;

}  // namespace

void CTransDlg::loadPronunciationFiles(const StudySettings& settings) {
  const QString strip = QString::fromStdWString(settings.pronunciationImagePath);
  pronunciationStrip_ = strip.isEmpty() ? QImage() : QImage(strip).convertToFormat(QImage::Format_RGB32);
  setWindowTitle("loading cmu to ipa mapfile...");
  // A map that cannot be opened leaves the symbols as they were.
  const platform::UniqueFile map = platform::openFile(settings.ipaMapPath, "rb");
  if (!map) return;
  ipaSymbols_.clear();
  wchar_t line[kMapLinePiece];
  while (readLineNoNewline(line, kMapLinePiece, map.get())) ipaSymbols_.emplace_back(line);
}

void CTransDlg::clearPronunciation() {
  pronunciationCodes_.clear();
  setControlText(ctl::Pronounce, L"");
}

void CTransDlg::ShowPronunciation(int index, const StudyQuestion& question, const std::wstring& word) {
  const StudySettings settings = host_.settings();
  if (!settings.showPronounce) return;
  std::wstring text;
  if (index < 0) {
    std::vector<std::wstring> given;
    std::copy_if(question.pronunciations.begin(), question.pronunciations.end(), std::back_inserter(given),
                 [](const std::wstring& p) { return !p.empty(); });
    text = joinTexts(given, L" ");
  } else {
    text = pdb3::textListAt(question.pronunciations, index);
  }
  pronunciationCodes_.clear();
  bool shown = true;
  if (text.empty()) {
    pronunciationCodes_ = host_.pronunciationCodes(word);
    if (settings.showPronounceByImage) {
      shown = false;
    } else {
      for (const uint8_t code : pronunciationCodes_) {
        if (code < ipaSymbols_.size()) text += ipaSymbols_[code];
      }
    }
  }
  setControlText(ctl::Pronounce, text);
  showControl(ctl::Pronounce, shown);
}

void CTransDlg::showAllSymbols() {
  std::wstring all;
  for (const std::wstring& symbol : ipaSymbols_) all += symbol;
  setControlText(ctl::Pronounce, all);
  showControl(ctl::Pronounce, true);
  ShowTimedMessage(L"発音記号を割り当てました");
}

bool CTransDlg::DrawPronunciationStrip(platform::Dc& dc, int x, int y) {
  const StudySettings settings = host_.settings();
  if (!static_cast<QLabel*>(control(ctl::Pronounce))->text().isEmpty() || !settings.showPronounce ||
      !settings.showPronounceByImage)
    return false;
  if (pronunciationStrip_.isNull()) return true;
  platform::Dc strip(pronunciationStrip_);
  for (const uint8_t code : pronunciationCodes_) {
    const int top = code * kGlyphHeight;
    // An image with fewer glyphs than codes: the codes past its end are left out.
    if (code >= kPhonemeCount || top + kGlyphHeight > pronunciationStrip_.height()) continue;
    const int width = glyphWidth(code);
    dc.bitBlt(x, y, std::min(width, pronunciationStrip_.width()), kGlyphHeight, strip, 0, top, platform::SrcCopy);
    x += width;
  }
  return true;
}

}  // namespace study
